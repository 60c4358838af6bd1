#pragma once
#include <cstdint>

namespace pramvix {

// One-byte pixel type codes of the host. Only YUY2 is accepted by the filters;
// the others exist so that clips of other layouts can be described and refused.
enum PixelType : unsigned char {
  kPixelUnknown = 0x00,
  kPixelRGB24 = 0x11,
  kPixelRGB32 = 0x12,
  kPixelYUY2 = 0x22,
  kPixelYV12 = 0x44,
};

// The host's description of a clip.
struct VideoInfo {
  int width = 0;
  int height = 0;
  unsigned fps_numerator = 25;
  unsigned fps_denominator = 1;
  int num_frames = 0;
  unsigned char pixel_type = kPixelUnknown;
  int audio_samples_per_second = 0;
  int sample_type = 0;
  int64_t num_audio_samples = 0;
  int nchannels = 0;

  bool IsYUY2() const { return pixel_type == kPixelYUY2; }
};

}  // namespace pramvix
