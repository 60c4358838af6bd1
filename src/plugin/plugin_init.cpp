// The library's entry point for our own hosts (the local host, the command).
// They call it once after loading the library; it registers the script
// functions and keeps nothing. No AviSynth looks for this name.
#include "plugin/function_table.h"

#ifdef _WIN32
#define PRAMVIX_ENTRY extern "C" __declspec(dllexport)
#else
#define PRAMVIX_ENTRY extern "C" __attribute__((visibility("default")))
#endif

PRAMVIX_ENTRY const char* AvisynthPluginInit(pramvix::IScriptEnvironment* env) {
  pramvix::RegisterFunctions(env);
  return nullptr;
}
