#include "removal/no_logo_auto.h"

#include <utility>

#include "base/arithmetic.h"
#include "removal/removal_request.h"

namespace pramvix {

namespace {
const FilterTexts kTexts = PRAMVIX_FILTER_TEXTS("NoLogoAuto", "NoLogo: width must be a multiple of 2; use Crop",
                                                "NoLogoAuto: the frame is too narrow");
constexpr int kThreshold = 5;

// The walk covers the frame but its first pixel of each row and its last row:
// the same as NoLogo over that region.
Region WholeFrame(const ConstFrame& main) { return Region{1, 0, main.Width() - 1, main.height - 1}; }
}  // namespace

NoLogoAuto::NoLogoAuto(PClip child, PClip logoClip, int logoFrame, IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)), logoFrame(logoFrame), logoClip(std::move(logoClip)) {
  if (!vi.IsYUY2()) env->ThrowError("NoLogo: YUY2 data only (no RGB); use ConvertToYUY2");
}

// The most negative frame number stands for the largest, which the host clamps
// to the logo clip's last frame.
PVideoFrame NoLogoAuto::GetFrame(int n, IScriptEnvironment* env) {
  const LogoPixels logoPixels = logoFrame < 0 ? LogoPixels::kMark : LogoPixels::kCorrect;
  return ServeRemoval(child, n, logoClip, SaturatingAbs(logoFrame), WholeFrame,
                      RemovalRule{kThreshold, Overlay{}, logoPixels}, simd, kTexts, env);
}

}  // namespace pramvix
