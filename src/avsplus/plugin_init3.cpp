// The entry point AviSynth+ calls after loading the library.
#include "avsplus/bridge.h"
#include "plugin/function_table.h"

// The host's call table, used by every inline function of avisynth.h. Hidden:
// an exported one would clash with the host's own.
__attribute__((visibility("hidden"))) const AVS_Linkage* AVS_linkage = nullptr;

extern "C" __attribute__((visibility("default"))) const char* __stdcall AvisynthPluginInit3(
    ::IScriptEnvironment* env, const AVS_Linkage* const vectors) {
  AVS_linkage = vectors;  // first: every AVSValue and handle goes through it
  return pramvix::avsplus::Guarded(env, [&] {
    pramvix::avsplus::RealEnvironment ours(env);
    pramvix::RegisterFunctions(&ours);
    return "Pramvix logo filters";
  });
}
