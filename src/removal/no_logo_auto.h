#pragma once
#include "base/filter_texts.h"
#include "base/generic_video_filter.h"
#include "removal/auto_removal.h"

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

  static const FilterTexts kTexts;

 private:
  const int logoFrame;  // the frame fetched: |logoFrame| of the script
  const PClip logoClip;
  const LogoPixels logoPixels;
  const AutoRowKernel removeRow = AutoRowFor(BestSimd());  // chosen once
};

}  // namespace pramvix
