// The C-interface entry points: AviSynth+ calls avisynth_c_plugin_init2 when
// it knows it (values may then carry 64-bit numbers, which our functions never
// take), older hosts avisynth_c_plugin_init. Both register the function table.
#include "avsc/bridge.h"
#include "plugin/function_table.h"

namespace pramvix::avsc {
namespace {

// What the host calls for every script call of a registered function: the
// user data is the function's row of the table. Errors go back as the
// host's error value, whose text the host raises unchanged.
AVS_Value AVSC_CC Apply(AVS_ScriptEnvironment* env, AVS_Value args, void* user_data) {
  const auto* row = static_cast<const FunctionEntry*>(user_data);
  AVS_Value result = avs_void;
  std::string error;
  const bool done = Guarded(
      [&] {
        // Every function's first argument is the clip whose description,
        // parity and audio the filter passes on.
        const AVS_Value first = avs_array_elt(args, 0);
        if (!avs_is_clip(first)) throw ScriptError(std::string(row->name) + ": the first argument must be a clip");
        CEnvironment ours(env);
        pramvix::PClip filter = row->factory(ValueOf(args, env), nullptr, &ours).AsClip();
        if (!filter) throw ScriptError(std::string(row->name) + ": the filter could not be built");
        result = NewHostFilter(std::move(filter), first, env);
      },
      &error);
  return done ? result : avs_new_value_error(Saved(env, error));
}

const char* Register(AVS_ScriptEnvironment* env) {
  bool found = false;
  std::string error;
  if (!Guarded([&] { found = FindHostCalls() != nullptr; }, &error) || !found) {
    return "Pramvix: this AviSynth lacks functions of the C interface the plug-in needs";
  }
  for (size_t i = 0; i < kFunctionCount; ++i) {
    const FunctionEntry& row = kFunctionTable[i];
    Host().avs_add_function(env, row.name, row.params, Apply, const_cast<FunctionEntry*>(&row));
  }
  return "Pramvix logo filters";
}

}  // namespace
}  // namespace pramvix::avsc

#ifdef _WIN32
#define PRAMVIX_C_ENTRY extern "C" __declspec(dllexport)
#else
#define PRAMVIX_C_ENTRY extern "C" __attribute__((visibility("default")))
#endif

PRAMVIX_C_ENTRY const char* AVSC_CC avisynth_c_plugin_init2(AVS_ScriptEnvironment* env) {
  return pramvix::avsc::Register(env);
}

PRAMVIX_C_ENTRY const char* AVSC_CC avisynth_c_plugin_init(AVS_ScriptEnvironment* env) {
  return pramvix::avsc::Register(env);
}
