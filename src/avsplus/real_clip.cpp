#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "avsplus/bridge.h"

namespace pramvix::avsplus {

namespace {

// The real environment behind ours; our filters only ever pass the one the
// bridge gave them.
::IScriptEnvironment* RealOf(pramvix::IScriptEnvironment* env) {
  auto* ours = dynamic_cast<RealEnvironment*>(env);
  if (!ours) throw std::logic_error("a host clip was called without the host's environment");
  return ours->Real();
}

unsigned char PixelTypeOf(const ::VideoInfo& vi) {
  if (vi.IsYUY2()) return kPixelYUY2;
  if (vi.IsRGB24()) return kPixelRGB24;
  if (vi.IsRGB32()) return kPixelRGB32;
  if (vi.IsYV12()) return kPixelYV12;
  return kPixelUnknown;
}

}  // namespace

pramvix::VideoInfo DescriptionOf(const ::VideoInfo& vi) {
  pramvix::VideoInfo ours;
  ours.width = vi.width;
  ours.height = vi.height;
  ours.fps_numerator = vi.fps_numerator;
  ours.fps_denominator = vi.fps_denominator;
  ours.num_frames = vi.num_frames;
  ours.pixel_type = PixelTypeOf(vi);
  ours.audio_samples_per_second = vi.audio_samples_per_second;
  ours.sample_type = vi.sample_type;
  ours.num_audio_samples = vi.num_audio_samples;
  ours.nchannels = vi.nchannels;
  return ours;
}

pramvix::AVSValue ValueOf(const ::AVSValue& value) {
  if (value.IsArray()) {
    std::vector<pramvix::AVSValue> elements;
    for (int i = 0; i < value.ArraySize(); ++i) elements.push_back(ValueOf(value[i]));
    return pramvix::AVSValue(std::move(elements));
  }
  if (value.IsClip()) {
    ::PClip clip = value.AsClip();
    return clip ? pramvix::PClip(new RealClip(std::move(clip))) : pramvix::PClip();
  }
  if (value.IsBool()) return pramvix::AVSValue(value.AsBool());
  if (value.IsInt()) return pramvix::AVSValue(value.AsInt());  // an integer is also a float: test it first
  if (value.IsFloat()) return pramvix::AVSValue(value.AsFloatf());
  if (value.IsString()) return pramvix::AVSValue(std::string(value.AsString()));
  return pramvix::AVSValue();
}

RealClip::RealClip(::PClip clip) : clip_(std::move(clip)), vi_(DescriptionOf(clip_->GetVideoInfo())) {}

pramvix::PVideoFrame RealClip::GetFrame(int n, pramvix::IScriptEnvironment* env) {
  return pramvix::PVideoFrame(new RealFrame(clip_->GetFrame(n, RealOf(env))));
}

bool RealClip::GetParity(int n) { return clip_->GetParity(n); }

void RealClip::GetAudio(void* buf, int start, int count, pramvix::IScriptEnvironment* env) {
  clip_->GetAudio(buf, start, count, RealOf(env));
}

}  // namespace pramvix::avsplus
