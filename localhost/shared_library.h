#pragma once
// Loading a plug-in library and finding its entry points, on Linux (dlopen,
// with RTLD_LOCAL as real hosts do) and on Windows (LoadLibrary).
#include <string>

namespace pramvix::local {

// The library's handle, or null with the system's reason in *error.
void* OpenLibrary(const std::string& path, std::string* error);
// The exported symbol, or null.
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);

}  // namespace pramvix::local
