#include "base/generic_video_filter.h"

#include <utility>

namespace pramvix {

namespace {
// An empty handle describes nothing: its zero record is not YUY2, so every
// filter refuses it before a frame is ever asked for.
VideoInfo DescriptionOf(const PClip& clip) { return clip ? clip->GetVideoInfo() : VideoInfo{}; }
}  // namespace

GenericVideoFilter::GenericVideoFilter(PClip clip) : child(std::move(clip)), vi(DescriptionOf(child)) {}

PVideoFrame GenericVideoFilter::GetFrame(int n, IScriptEnvironment* env) { return child->GetFrame(n, env); }

bool GenericVideoFilter::GetParity(int n) { return child->GetParity(n); }

void GenericVideoFilter::GetAudio(void* buf, int start, int count, IScriptEnvironment* env) {
  child->GetAudio(buf, start, count, env);
}

const VideoInfo& GenericVideoFilter::GetVideoInfo() { return vi; }

}  // namespace pramvix
