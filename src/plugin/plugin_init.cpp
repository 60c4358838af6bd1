// The library's entry point. The host calls it once after loading the library;
// it registers the script functions and keeps nothing.
#include "plugin/function_table.h"

extern "C" __attribute__((visibility("default"))) const char* AvisynthPluginInit(pramvix::IScriptEnvironment* env) {
  pramvix::RegisterFunctions(env);
  return nullptr;
}
