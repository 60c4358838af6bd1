#include "avsc/host_calls.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <link.h>

#include <string>
#include <vector>
#endif

namespace pramvix::avsc {
namespace {

#ifdef _WIN32
using Library = HMODULE;

// Every AviSynth+ build for Windows is named AviSynth.dll; the host has it
// loaded before it loads a plug-in.
Library HostLibrary() { return GetModuleHandleW(L"AviSynth.dll"); }

void* Symbol(Library library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(library, name));
}
#else
using Library = void*;

// The host may have been loaded with RTLD_LOCAL (under any file name), so its
// symbols are not global: the loaded objects are searched for the one that
// exports the C interface. Their names are collected first, so that dlopen
// runs outside the loader's iteration; RTLD_NOLOAD only reopens what is loaded.
int CollectName(dl_phdr_info* info, size_t, void* names) {
  try {
    if (info->dlpi_name && *info->dlpi_name) static_cast<std::vector<std::string>*>(names)->push_back(info->dlpi_name);
    return 0;
  } catch (...) {
    return 1;  // nothing may unwind through the loader; the search ends here
  }
}

// The reopened handle is kept: the host outlives every call of the plug-in.
Library HostLibrary() {
  std::vector<std::string> names;
  dl_iterate_phdr(CollectName, &names);
  for (const std::string& name : names) {
    void* library = dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!library) continue;
    if (dlsym(library, "avs_new_c_filter")) return library;
    dlclose(library);
  }
  return nullptr;
}

void* Symbol(Library library, const char* name) { return dlsym(library, name); }
#endif

template <class Function>
bool Load(Library library, Function* target, const char* name) {
  *target = reinterpret_cast<Function>(Symbol(library, name));
  return *target != nullptr;
}

HostCalls calls;

bool LoadAll() {
  const Library library = HostLibrary();
  if (!library) return false;
#define PRAMVIX_LOAD(name) Load(library, &calls.name, #name)
  Load(library, &calls.avs_new_video_frame_p, "avs_new_video_frame_p");  // optional: null leaves it unused
  return PRAMVIX_LOAD(avs_add_function) && PRAMVIX_LOAD(avs_new_c_filter) && PRAMVIX_LOAD(avs_take_clip) &&
         PRAMVIX_LOAD(avs_set_to_clip) && PRAMVIX_LOAD(avs_release_clip) && PRAMVIX_LOAD(avs_clip_get_error) &&
         PRAMVIX_LOAD(avs_get_video_info) && PRAMVIX_LOAD(avs_get_frame) && PRAMVIX_LOAD(avs_get_parity) &&
         PRAMVIX_LOAD(avs_get_audio) && PRAMVIX_LOAD(avs_copy_video_frame) &&
         PRAMVIX_LOAD(avs_release_video_frame) && PRAMVIX_LOAD(avs_get_read_ptr_p) &&
         PRAMVIX_LOAD(avs_get_write_ptr_p) && PRAMVIX_LOAD(avs_get_pitch_p) && PRAMVIX_LOAD(avs_get_row_size_p) &&
         PRAMVIX_LOAD(avs_get_height_p) && PRAMVIX_LOAD(avs_is_writable) && PRAMVIX_LOAD(avs_make_writable) &&
         PRAMVIX_LOAD(avs_save_string);
#undef PRAMVIX_LOAD
}

}  // namespace

const HostCalls* FindHostCalls() {
  static const bool found = LoadAll();  // once, whichever thread loads the plug-in first
  return found ? &calls : nullptr;
}

const HostCalls& Host() { return calls; }

}  // namespace pramvix::avsc
