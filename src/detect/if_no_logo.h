#pragma once
#include "detect/logo_test_filter.h"

namespace pramvix {

// IfLogo's variant: single-sample logo edges, steps of the threshold or more
// and dark pixels count as hits, and rows are marked too. Only a positive
// frame threshold can return the alternate frame; a negative one always
// returns the marked main frame.
class IfNoLogo : public LogoTestFilter {
 public:
  IfNoLogo(PClip child, PClip alternateClip, PClip logoClip, int logoFrame, int frameThreshold, int logoThreshold,
           int x, int y, int width, int height, IScriptEnvironment* env);
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  ~IfNoLogo() override = default;

  static const FilterTexts kTexts;
  // Whether a frame whose test counted `totals` comes back as the alternate frame:
  // only when the logo is found with a frame threshold above 0.
  static bool ReturnsAlternate(const Totals& totals, int frameThreshold) {
    return totals.LogoFound() && frameThreshold > 0;
  }
};

}  // namespace pramvix
