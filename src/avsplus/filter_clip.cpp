#include <utility>

#include "avsplus/bridge.h"

namespace pramvix::avsplus {

FilterClip::FilterClip(pramvix::PClip filter, ::PClip first)
    : filter_(std::move(filter)), first_(std::move(first)), vi_(first_->GetVideoInfo()) {
  // The first clip's record keeps what our one-byte pixel code cannot carry
  // (the exact format, field flags); size, rate, length and audio are the filter's.
  const pramvix::VideoInfo& ours = filter_->GetVideoInfo();
  vi_.width = ours.width;
  vi_.height = ours.height;
  vi_.fps_numerator = ours.fps_numerator;
  vi_.fps_denominator = ours.fps_denominator;
  vi_.num_frames = ours.num_frames;
  vi_.audio_samples_per_second = ours.audio_samples_per_second;
  vi_.sample_type = ours.sample_type;
  vi_.num_audio_samples = ours.num_audio_samples;
  vi_.nchannels = ours.nchannels;
}

// The filter returns a frame it fetched from a real clip: the host gets that
// real frame back, unwrapped.
::PVideoFrame FilterClip::GetFrame(int n, ::IScriptEnvironment* env) {
  return Guarded(env, [&]() -> ::PVideoFrame {
    RealEnvironment ours(env);
    const pramvix::PVideoFrame frame = filter_->GetFrame(n, &ours);
    const auto* real = dynamic_cast<const RealFrame*>(frame.get());
    if (!real) env->ThrowError("%s", "Pramvix: the filter returned a frame the host did not make");
    return real->Real();
  });
}

bool FilterClip::GetParity(int n) { return first_->GetParity(n); }

void FilterClip::GetAudio(void* buf, int64_t start, int64_t count, ::IScriptEnvironment* env) {
  first_->GetAudio(buf, start, count, env);
}

// A frame request keeps no state, so one filter may serve several threads.
int FilterClip::SetCacheHints(int cachehints, int) { return cachehints == CACHE_GET_MTMODE ? MT_NICE_FILTER : 0; }

}  // namespace pramvix::avsplus
