#pragma once
#include "base/filter_texts.h"
#include "base/generic_video_filter.h"
#include "base/region.h"
#include "overlay/blend_kernel.h"

namespace pramvix {

// Draws the logo of a reference picture into the luma of a region, raising or
// lowering it toward the logo; threshold 0 inverts the region instead.
class AddLogo : public GenericVideoFilter {
 public:
  AddLogo(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
          IScriptEnvironment* env);
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  ~AddLogo() override = default;

  static const FilterTexts kTexts;

 private:
  const int logoFrame;
  const int threshold;
  const Region region;
  const PClip logoClip;
  const BlendRowKernel blendRow = BlendRowFor(BestSimd());  // chosen once
};

}  // namespace pramvix
