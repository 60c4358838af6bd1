#pragma once
#include "base/filter_texts.h"
#include "base/generic_video_filter.h"
#include "base/region.h"
#include "removal/logo_removal.h"

namespace pramvix {

// Removes a logo from the luma of a region with a fixed correction, read
// against a reference picture that shows the logo over black.
class NoLogo : public GenericVideoFilter {
 public:
  NoLogo(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
         IScriptEnvironment* env);
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  ~NoLogo() override = default;

  static const FilterTexts kTexts;

 private:
  const PClip logoClip;
  const int logoFrame;
  const Region region;
  const RemovalRule rule;
  const RemoveLogoKernel remove = RemoveLogoFor(BestSimd());  // chosen once
};

}  // namespace pramvix
