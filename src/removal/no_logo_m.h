#pragma once
#include "base/filter_texts.h"
#include "base/generic_video_filter.h"
#include "base/region.h"
#include "removal/logo_removal.h"

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

  static const FilterTexts kTexts;

 private:
  const int logoFrame;
  const Region region;
  const RemovalRule rule;
  const PClip logoClip;
  const RemoveLogoKernel remove = RemoveLogoFor(BestSimd());  // chosen once
};

}  // namespace pramvix
