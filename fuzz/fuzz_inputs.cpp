#include "fuzz_inputs.h"

#include <cmath>
#include <limits>

#include "memory_clip.h"

namespace pramvix::fuzz {

int FuzzInt(FuzzedDataProvider& in) {
  static const int kAwkward[] = {0,   1,    -1,  2,    -2,   3,  4,  5,  -5, 255, -255, 256, -256,
                                 238, 16,   240, 1000, -1000, std::numeric_limits<int>::max(),
                                 std::numeric_limits<int>::min(), std::numeric_limits<int>::max() - 1};
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return in.PickValueInArray(kAwkward);
    case 1: return in.ConsumeIntegral<int>();
    default: return in.ConsumeIntegralInRange(-12, 30);
  }
}

float FuzzFloat(FuzzedDataProvider& in) {
  static const float kAwkward[] = {0.0f, -0.0f, 1.0f, 0.5f, 2.0f, -1.0f, 1e30f, -1e30f, 3e9f, -3e9f,
                                   std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min()};
  return in.ConsumeBool() ? in.PickValueInArray(kAwkward) : in.ConsumeFloatingPoint<float>();
}

PClip FuzzClip(FuzzedDataProvider& in, std::vector<local::Picture>& pictures, const PClip& like) {
  static const unsigned char kTypes[] = {kPixelYUY2, kPixelYUY2, kPixelYUY2, kPixelRGB32, kPixelYV12};
  // Often the first clip's shape again: most filters refuse clips that differ,
  // and the deeper paths are only reached past that check.
  const bool same = like && in.ConsumeBool();
  const VideoInfo* shape = same ? &like->GetVideoInfo() : nullptr;
  const unsigned char type = shape ? shape->pixel_type : in.PickValueInArray(kTypes);
  const int rowSize = shape ? 2 * shape->width : in.ConsumeIntegralInRange(0, 24);  // odd sizes too
  const int height = shape ? shape->height : in.ConsumeIntegralInRange(0, 7);
  const int padding = in.ConsumeIntegralInRange(0, 40);
  const int frames = in.ConsumeIntegralInRange(1, 3);
  std::vector<local::Picture> clipPictures;
  for (int f = 0; f < frames; ++f) {
    local::Picture picture{rowSize, height, {}};
    picture.bytes = in.ConsumeBytes<uint8_t>(static_cast<size_t>(rowSize) * height);
    picture.bytes.resize(static_cast<size_t>(rowSize) * height, static_cast<uint8_t>(f * 77 + 16));
    clipPictures.push_back(picture);
    pictures.push_back(picture);
  }
  return local::MemoryClip::Of(clipPictures, padding, type);
}

}  // namespace pramvix::fuzz
