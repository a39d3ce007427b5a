#include "vela_platform_lib.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#endif

namespace vela::platform {

#if defined(_WIN32)

const char* LibraryFileName() {
    return "VelaComm.dll";
}

static std::wstring ModulePathW() {
    wchar_t buffer[1024] = {};
    DWORD n = GetModuleFileNameW(nullptr, buffer, 1024);
    return std::wstring(buffer, n < 1024 ? n : 1023);
}

static std::string Narrow(const std::wstring& w) {
    if (w.empty())
        return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

static std::wstring Widen(const std::string& s) {
    if (s.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

std::string ExecutableFolder() {
    std::wstring path = ModulePathW();
    auto cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::string() : Narrow(path.substr(0, cut + 1));
}

std::string ExecutableBaseName() {
    std::wstring path = ModulePathW();
    auto cut = path.find_last_of(L'\\');
    std::wstring name = cut == std::wstring::npos ? path : path.substr(cut + 1);
    auto dot = name.find_last_of(L'.');
    return Narrow(dot == std::wstring::npos ? name : name.substr(0, dot));
}

void* OpenLibrary(const std::string& path) {
    return reinterpret_cast<void*>(LoadLibraryW(Widen(path).c_str()));
}

void* FindSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

#else

const char* LibraryFileName() {
    return "libVelaComm.so";
}

static std::string ModulePath() {
    char buffer[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string ExecutableFolder() {
    std::string path = ModulePath();
    auto cut = path.find_last_of('/');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string ExecutableBaseName() {
    std::string path = ModulePath();
    auto cut = path.find_last_of('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

void* OpenLibrary(const std::string& path) {
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindSymbol(void* library, const char* name) {
    return dlsym(library, name);
}

void CloseLibrary(void* library) {
    dlclose(library);
}

#endif

}  // namespace vela::platform
