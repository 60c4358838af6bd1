// A plug-in written as the host's bundled ones are: its AVS_linkage has
// default visibility and its entry point writes it. Autoloaded by the
// real-host tests from a folder of their own; if that variable bound to a copy
// outside this library (the host's read-only one), the write would crash.
#include <avisynth.h>

#ifdef _WIN32
#define PROBE_EXPORT __declspec(dllexport)
#else
#define PROBE_EXPORT __attribute__((visibility("default")))
#endif

PROBE_EXPORT const AVS_Linkage* AVS_linkage = nullptr;

namespace {
AVSValue __cdecl Probe(AVSValue, void*, IScriptEnvironment*) { return AVSValue(42); }
}  // namespace

extern "C" PROBE_EXPORT const char* __stdcall AvisynthPluginInit3(
    IScriptEnvironment* env, const AVS_Linkage* const vectors) {
  AVS_linkage = vectors;
  env->AddFunction("PramvixAutoloadProbe", "", Probe, nullptr);
  return "autoload probe";
}
