#include <cstring>

#include "avsc/bridge.h"

namespace pramvix::avsc {

const char* Saved(AVS_ScriptEnvironment* env, const std::string& text) {
  const char* copy = Host().avs_save_string(env, text.c_str(), static_cast<int>(text.size()));
  return copy ? copy : "Pramvix: out of memory";
}

// The bridge registers the function table itself (the entry point); a filter
// never registers functions.
void CEnvironment::AddFunction(const char*, const char*, ApplyFunc, void*) {
  ThrowError("Pramvix: functions are registered by the plug-in's entry point only");
}

// Unwinds to the callback the host called, which hands the text to the host.
void CEnvironment::ThrowError(const char* message) { throw ScriptError(message ? message : ""); }

bool CEnvironment::MakeWritable(pramvix::PVideoFrame* frame) {
  const auto* wrapper = dynamic_cast<const CFrame*>(frame->get());
  if (!wrapper) return false;  // not the host's frame: its write pointer stays unavailable
  if (frame->use_count() == 1 && Host().avs_is_writable(wrapper->Real())) return false;
  AVS_VideoFrame* real = Host().avs_copy_video_frame(wrapper->Real());
  frame->reset();  // drops the wrapper's count, so the host copies only if others share the frame
  const int copied = Host().avs_make_writable(env_, &real);
  auto* wrapped = new (std::nothrow) CFrame(real);
  if (!wrapped) {
    Host().avs_release_video_frame(real);
    throw std::bad_alloc();
  }
  *frame = pramvix::PVideoFrame(wrapped);
  if (copied < 0) ThrowError("Pramvix: the host could not make a frame writable");
  return copied > 0;
}

}  // namespace pramvix::avsc
