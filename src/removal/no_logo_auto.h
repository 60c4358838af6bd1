#pragma once
#include "base/generic_video_filter.h"
#include "base/simd.h"

namespace pramvix {

// Logo removal over the whole frame with fixed settings: NoLogo's correction
// with threshold 5 on every row but the last and every pixel but the first.
// A negative logo frame number picks frame |logoFrame| and shows the logo
// pixels inverted instead of removing the logo.
class NoLogoAuto : public GenericVideoFilter {
 public:
  NoLogoAuto(PClip child, PClip logoClip, int logoFrame, IScriptEnvironment* env);
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  ~NoLogoAuto() override = default;

 private:
  const int logoFrame;
  const PClip logoClip;
  const Simd simd = BestSimd();  // the pixel kernels' instruction set, chosen once
};

}  // namespace pramvix
