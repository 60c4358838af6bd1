#include <cstring>
#include <utility>

#include "avsplus/bridge.h"
#include "plugin/function_table.h"

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

void RealEnvironment::AddFunction(const char* name, const char* params, ApplyFunc apply, void* user_data) {
  // The host gets our trampoline; the factory is found again through the row.
  for (size_t i = 0; i < kFunctionCount; ++i) {
    const FunctionEntry& row = kFunctionTable[i];
    if (row.factory == apply && std::strcmp(row.name, name) == 0 && std::strcmp(row.params, params) == 0 &&
        user_data == nullptr) {
      env_->AddFunction(row.name, row.params, Apply, const_cast<FunctionEntry*>(&row));
      return;
    }
  }
  ThrowError("Pramvix: only the functions of the plug-in's table can be registered");
}

void RealEnvironment::ThrowError(const char* message) {
  env_->ThrowError("%s", message);
  throw ::AvisynthError(env_->SaveString(message));  // not reached: the host's ThrowError raises
}

bool RealEnvironment::MakeWritable(pramvix::PVideoFrame* frame) {
  const auto* wrapper = dynamic_cast<const RealFrame*>(frame->get());
  if (!wrapper) return false;  // not the host's frame: its write pointer stays unavailable
  if (frame->use_count() == 1 && wrapper->Real()->IsWritable()) return false;
  ::PVideoFrame real = wrapper->Real();
  frame->reset();  // drops the wrapper's count, so the host copies only if others share the frame
  const bool copied = env_->MakeWritable(&real);
  *frame = pramvix::PVideoFrame(new RealFrame(std::move(real)));
  return copied;
}

}  // namespace pramvix::avsplus
