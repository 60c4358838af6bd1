#include <utility>
#include <vector>

#include "avsc/bridge.h"

namespace pramvix::avsc {

namespace {

unsigned char PixelTypeOf(const AVS_VideoInfo& vi) {
  if (avs_is_yuy2(&vi)) return kPixelYUY2;
  if (avs_is_rgb24(&vi)) return kPixelRGB24;
  if (avs_is_rgb32(&vi)) return kPixelRGB32;
  if (vi.pixel_type == AVS_CS_YV12 || vi.pixel_type == AVS_CS_I420) return kPixelYV12;
  return kPixelUnknown;
}

// The text of the clip's last error; the host keeps it, we copy it at once.
std::string ErrorOf(AVS_Clip* clip, const char* what) {
  const char* text = Host().avs_clip_get_error(clip);
  return text ? text : std::string("Pramvix: the host gave no ") + what;
}

}  // namespace

pramvix::VideoInfo DescriptionOf(const AVS_VideoInfo& vi) {
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

pramvix::AVSValue ValueOf(const AVS_Value& value, AVS_ScriptEnvironment* env) {
  if (avs_is_array(value)) {
    std::vector<pramvix::AVSValue> elements;
    for (int i = 0; i < avs_array_size(value); ++i) elements.push_back(ValueOf(avs_array_elt(value, i), env));
    return pramvix::AVSValue(std::move(elements));
  }
  if (avs_is_clip(value)) {
    AVS_Clip* clip = Host().avs_take_clip(value, env);
    auto* wrapped = new (std::nothrow) CClip(clip);
    if (!wrapped) {
      Host().avs_release_clip(clip);
      throw std::bad_alloc();
    }
    return pramvix::PClip(wrapped);
  }
  if (avs_is_bool(value)) return pramvix::AVSValue(avs_as_bool(value) != 0);
  if (avs_is_int(value)) return pramvix::AVSValue(avs_as_int(value));  // an integer is also a float: test it first
  if (avs_is_float(value)) return pramvix::AVSValue(static_cast<float>(avs_as_float(value)));
  if (avs_is_string(value)) return pramvix::AVSValue(std::string(avs_as_string(value)));
  return pramvix::AVSValue();
}

CClip::CClip(AVS_Clip* clip) : clip_(clip), vi_(DescriptionOf(*Host().avs_get_video_info(clip))) {}

CClip::~CClip() { Host().avs_release_clip(clip_); }

pramvix::PVideoFrame CClip::GetFrame(int n, pramvix::IScriptEnvironment* env) {
  AVS_VideoFrame* frame = Host().avs_get_frame(clip_, n);
  if (!frame) env->ThrowError(ErrorOf(clip_, "frame").c_str());
  auto* wrapped = new (std::nothrow) CFrame(frame);
  if (!wrapped) {
    Host().avs_release_video_frame(frame);
    throw std::bad_alloc();
  }
  return pramvix::PVideoFrame(wrapped);
}

bool CClip::GetParity(int n) { return Host().avs_get_parity(clip_, n) > 0; }

void CClip::GetAudio(void* buf, int start, int count, pramvix::IScriptEnvironment* env) {
  if (Host().avs_get_audio(clip_, buf, start, count) != 0) env->ThrowError(ErrorOf(clip_, "audio").c_str());
}

}  // namespace pramvix::avsc
