// The entry point AviSynth+ calls after loading the library: it registers the
// function table with the host.
#include <utility>

#include "avsplus/bridge.h"
#include "plugin/function_table.h"

// The host's call table, used by every inline function of avisynth.h. Hidden:
// an exported one would clash with the host's own.
__attribute__((visibility("hidden"))) const AVS_Linkage* AVS_linkage = nullptr;

namespace pramvix::avsplus {
namespace {

// What the host calls for every script call of a registered function: the
// user data is the function's row of the table.
::AVSValue __cdecl Apply(::AVSValue args, void* user_data, ::IScriptEnvironment* env) {
  const auto* row = static_cast<const FunctionEntry*>(user_data);
  return Guarded(env, [&]() -> ::AVSValue {
    // Every function's first argument is the clip whose description, parity
    // and audio the filter passes on.
    const ::PClip first = args[0].AsClip();
    if (!first) env->ThrowError("%s: the first argument must be a clip", row->name);
    RealEnvironment ours(env);
    pramvix::PClip filter = row->factory(ValueOf(args), nullptr, &ours).AsClip();
    if (!filter) env->ThrowError("%s: the filter could not be built", row->name);
    return ::AVSValue(new FilterClip(std::move(filter), first));
  });
}

}  // namespace
}  // namespace pramvix::avsplus

extern "C" __attribute__((visibility("default"))) const char* __stdcall AvisynthPluginInit3(
    ::IScriptEnvironment* env, const AVS_Linkage* const vectors) {
  AVS_linkage = vectors;  // first: every AVSValue and handle goes through it
  return pramvix::avsplus::Guarded(env, [&] {
    for (size_t i = 0; i < pramvix::kFunctionCount; ++i) {
      const pramvix::FunctionEntry& row = pramvix::kFunctionTable[i];
      env->AddFunction(row.name, row.params, pramvix::avsplus::Apply, const_cast<pramvix::FunctionEntry*>(&row));
    }
    return "Pramvix logo filters";
  });
}
