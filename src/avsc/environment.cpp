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

// A YUY2 frame of the host's own, its properties copied from `frame` as the
// host's MakeWritable copies them. Only the host's frames of whole pixel
// pairs are matched; for any other the caller falls back to MakeWritable.
pramvix::PVideoFrame CEnvironment::NewFrameLike(const pramvix::PVideoFrame& frame) {
  const auto* wrapper = dynamic_cast<const CFrame*>(frame.get());
  if (!wrapper || !Host().avs_new_video_frame_p || wrapper->GetRowSize() % 4 != 0) return {};
  AVS_VideoInfo vi{};
  vi.width = wrapper->GetRowSize() / 2;
  vi.height = wrapper->GetHeight();
  vi.pixel_type = AVS_CS_YUY2;
  vi.fps_numerator = 1;
  vi.fps_denominator = 1;
  AVS_VideoFrame* real = Host().avs_new_video_frame_p(env_, &vi, wrapper->Real());
  if (!real) return {};
  auto* wrapped = new (std::nothrow) CFrame(real);
  if (!wrapped) {
    Host().avs_release_video_frame(real);
    throw std::bad_alloc();
  }
  pramvix::PVideoFrame made(wrapped);
  if (made->GetRowSize() != frame->GetRowSize() || made->GetHeight() != frame->GetHeight()) return {};
  return made;
}

}  // namespace pramvix::avsc
