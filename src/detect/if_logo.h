#pragma once
#include "detect/logo_test_filter.h"

namespace pramvix {

// Returns the alternate clip's frame where the main frame shows the logo: it
// has luma steps at enough of the positions where the logo frame, averaged
// over three pixels, has them. A negative frame threshold also marks every
// hit in the main frame.
class IfLogo : public LogoTestFilter {
 public:
  IfLogo(PClip child, PClip alternateClip, PClip logoClip, int logoFrame, int frameThreshold, int logoThreshold,
         int x, int y, int width, int height, IScriptEnvironment* env);
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  ~IfLogo() override = default;

  static const FilterTexts kTexts;
  // Whether a frame whose test counted `totals` comes back as the alternate frame.
  static bool ReturnsAlternate(const Totals& totals, int /*frameThreshold*/) { return totals.LogoFound(); }
};

}  // namespace pramvix
