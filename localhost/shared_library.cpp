#include "shared_library.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace pramvix::local {

#ifdef _WIN32
// The library's own folder is searched for the DLLs it needs, as when a host
// loads a plug-in by its path.
void* OpenLibrary(const std::string& path, std::string* error) {
  std::string native = path;
  for (char& c : native) c = c == '/' ? '\\' : c;
  HMODULE library = LoadLibraryExA(native.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!library) *error = "error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(library);
}

void* FindSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
#else
void* OpenLibrary(const std::string& path, std::string* error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) *error = dlerror();
  return library;
}

void* FindSymbol(void* library, const char* name) { return dlsym(library, name); }

void CloseLibrary(void* library) { dlclose(library); }
#endif

}  // namespace pramvix::local
