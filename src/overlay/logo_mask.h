#pragma once
#include "base/filter_texts.h"
#include "base/generic_video_filter.h"
#include "base/region.h"
#include "overlay/mask_kernel.h"

namespace pramvix {

// Replaces the pixels of a region that a reference picture marks as logo with
// the same pixels of an alternate clip's frame.
class LogoMask : public GenericVideoFilter {
 public:
  LogoMask(PClip child, PClip alternateClip, PClip logoClip, int logoFrame, int threshold, int x, int y, int width,
           int height, IScriptEnvironment* env);
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  ~LogoMask() override = default;

  static const FilterTexts kTexts;

 private:
  const int logoFrame;
  const int threshold;
  const Region region;
  // Declared in this order so that the alternate clip is released first.
  const PClip logoClip;
  const PClip alternateClip;
  const MaskRowKernel maskRow = MaskRowFor(BestSimd());  // chosen once
};

}  // namespace pramvix
