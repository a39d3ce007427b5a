#pragma once
// The few operating-system file calls the configuration tool needs beyond Qt, in one place:
// the system's last error number for "Error No. : %d" messages (errno here, GetLastError on
// Windows), opening only regular files without waiting, skipping within a file's real size and
// forcing written data onto the disk.

#include <QString>

class QFileDevice;

namespace halvard::platform {

// The calling thread's last system error number, and setting it (0 clears it).
int LastError();
void SetLastError(int error);

// Error numbers the data file reports itself: a folder where a file was expected and a refused
// access.
int ErrorIsFolder();
int ErrorAccessDenied();

// A regular file opened for reading. A folder, a pipe or a device is never opened for reading
// (the open itself does not wait for a writer); LastError() then says why.
class ReadFile final {
public:
    explicit ReadFile(const QString& path);
    ~ReadFile();
    ReadFile(const ReadFile&) = delete;
    ReadFile& operator=(const ReadFile&) = delete;

    bool isOpen() const;
    // Bytes delivered (fewer at the end, -1 on error, LastError() set).
    long long read(void* buffer, long long size);
    // Moves on by up to `size` bytes within the file's real size; how far it went, -1 on error.
    long long skip(long long size);

private:
#if defined(_WIN32)
    void* m_handle;
#else
    int m_fd;
#endif
};

// Forces what was written to `file` onto the disk; false (LastError() set) when it failed.
bool FlushToDisk(QFileDevice& file);

}  // namespace halvard::platform
