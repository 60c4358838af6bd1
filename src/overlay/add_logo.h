#pragma once
#include "base/generic_video_filter.h"
#include "base/simd.h"
#include "base/region.h"

namespace pramvix {

// Draws the logo of a reference picture into the luma of a region, raising or
// lowering it toward the logo; threshold 0 inverts the region instead.
class AddLogo : public GenericVideoFilter {
 public:
  AddLogo(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
          IScriptEnvironment* env);
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  ~AddLogo() override = default;

 private:
  const int logoFrame;
  const int threshold;
  const Region region;
  const PClip logoClip;
  const Simd simd = BestSimd();  // the pixel kernels' instruction set, chosen once
};

}  // namespace pramvix
