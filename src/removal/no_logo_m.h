#pragma once
#include "base/generic_video_filter.h"
#include "base/simd.h"

namespace pramvix {

// Logo removal with an adjustable overlay: the logo's full-strength luma
// (level), a factor on the reference luma (gain) and a shift of the result
// (offset). Softens every pixel it visits, and refuses a logo clip of another
// size or layout.
class NoLogoM : public GenericVideoFilter {
 public:
  NoLogoM(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
          float gain, int level, int offset, IScriptEnvironment* env);
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  ~NoLogoM() override = default;

 private:
  const int logoFrame;
  const int threshold;
  const int width;
  const int height;
  const int x;
  const int y;
  const int level;
  const int offset;
  const float gain;
  const PClip logoClip;
  const Simd simd = BestSimd();  // the pixel kernels' instruction set, chosen once
};

}  // namespace pramvix
