#pragma once
#include "base/generic_video_filter.h"
#include "base/simd.h"
#include "base/region.h"

namespace pramvix {

// Removes a logo from the luma of a region with a fixed correction, read
// against a reference picture that shows the logo over black.
class NoLogo : public GenericVideoFilter {
 public:
  NoLogo(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
         IScriptEnvironment* env);
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  ~NoLogo() override = default;

 private:
  const PClip logoClip;
  const int logoFrame;
  const int threshold;
  const Region region;
  const Simd simd = BestSimd();  // the pixel kernels' instruction set, chosen once
};

}  // namespace pramvix
