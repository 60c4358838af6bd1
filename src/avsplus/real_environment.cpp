#include <utility>

#include "avsplus/bridge.h"

namespace pramvix::avsplus {

// The bridge registers the function table itself (the entry point); a filter
// never registers functions.
void RealEnvironment::AddFunction(const char*, const char*, ApplyFunc, void*) {
  ThrowError("Pramvix: functions are registered by the plug-in's entry point only");
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
