#pragma once
// The few operating-system calls the binding needs: load a library, find a symbol, release the
// library, and the running program's own folder.

#include <string>

namespace vela::platform {

// File name of the SDK library on this platform.
const char* LibraryFileName();

// Folder of the running executable, ending in its separator ("/" or "\"); empty if unknown.
std::string ExecutableFolder();

// Base name of the running executable without folder and extension ("HalvardTest").
std::string ExecutableBaseName();

void* OpenLibrary(const std::string& path);
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);

}  // namespace vela::platform
