#include "file_platform.h"

#include <QFile>
#include <QFileDevice>

#include <algorithm>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace halvard::platform {

#if defined(_WIN32)

int LastError() {
    return static_cast<int>(::GetLastError());
}
void SetLastError(int error) {
    ::SetLastError(static_cast<DWORD>(error));
}
int ErrorIsFolder() {
    return ERROR_DIRECTORY;
}
int ErrorAccessDenied() {
    return ERROR_ACCESS_DENIED;
}

ReadFile::ReadFile(const QString& path) : m_handle(INVALID_HANDLE_VALUE) {
    HANDLE h =
        ::CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ, FILE_SHARE_READ,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    BY_HANDLE_FILE_INFORMATION info{};
    DWORD error = 0;
    if (::GetFileType(h) != FILE_TYPE_DISK)
        error = ERROR_INVALID_FUNCTION;
    else if (!::GetFileInformationByHandle(h, &info))
        error = ::GetLastError();
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        error = ERROR_DIRECTORY;
    if (error != 0) {
        ::CloseHandle(h);
        ::SetLastError(error);
        return;
    }
    m_handle = h;
}

ReadFile::~ReadFile() {
    if (isOpen())
        ::CloseHandle(m_handle);
}

bool ReadFile::isOpen() const {
    return m_handle != INVALID_HANDLE_VALUE;
}

long long ReadFile::read(void* buffer, long long size) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<long long>(size, 0x7FFFFFFF));
    if (!::ReadFile(m_handle, buffer, want, &got, nullptr))
        return -1;
    return got;
}

long long ReadFile::skip(long long size) {
    if (size <= 0)
        return 0;
    LARGE_INTEGER zero{}, at{}, end{};
    if (!::SetFilePointerEx(m_handle, zero, &at, FILE_CURRENT) || !::GetFileSizeEx(m_handle, &end))
        return -1;
    const long long n =
        std::min<long long>(size, std::max<long long>(end.QuadPart - at.QuadPart, 0));
    LARGE_INTEGER step{};
    step.QuadPart = n;
    return ::SetFilePointerEx(m_handle, step, nullptr, FILE_CURRENT) ? n : -1;
}

bool FlushToDisk(QFileDevice& file) {
    const intptr_t h = ::_get_osfhandle(file.handle());
    return h != -1 && ::FlushFileBuffers(reinterpret_cast<HANDLE>(h));
}

#else

int LastError() {
    return errno;
}
void SetLastError(int error) {
    errno = error;
}
int ErrorIsFolder() {
    return EISDIR;
}
int ErrorAccessDenied() {
    return EACCES;
}

ReadFile::ReadFile(const QString& path)
    : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
    if (m_fd < 0)
        return;
    struct stat st {};
    int err = 0;
    if (::fstat(m_fd, &st) != 0)
        err = errno;
    else if (S_ISDIR(st.st_mode))
        err = EISDIR;
    else if (!S_ISREG(st.st_mode))
        err = EINVAL;
    else if (::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK) != 0)
        err = errno;  // from here on reads of the file block as usual
    if (err != 0) {
        ::close(m_fd);
        m_fd = -1;
        errno = err;
    }
}

ReadFile::~ReadFile() {
    if (isOpen())
        ::close(m_fd);
}

bool ReadFile::isOpen() const {
    return m_fd >= 0;
}

long long ReadFile::read(void* buffer, long long size) {
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        return n;
    }
}

long long ReadFile::skip(long long size) {
    struct stat st {};
    const off_t at = ::lseek(m_fd, 0, SEEK_CUR);
    if (size <= 0 || at < 0 || ::fstat(m_fd, &st) != 0)
        return size <= 0 ? 0 : -1;
    const long long n = std::min<long long>(size, std::max<long long>(st.st_size - at, 0));
    return ::lseek(m_fd, static_cast<off_t>(n), SEEK_CUR) < 0 ? -1 : n;
}

bool FlushToDisk(QFileDevice& file) {
    return ::fsync(file.handle()) == 0;
}

#endif

}  // namespace halvard::platform
