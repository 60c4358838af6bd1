#include "removal/no_logo_m.h"

#include <utility>

#include "base/compatible_clips.h"
#include "removal/removal_request.h"

namespace pramvix {

namespace {
const FilterTexts kTexts = PRAMVIX_FILTER_TEXTS("NoLogoM", "NoLogoM: width must be a multiple of 2; use Crop",
                                                "You X position is too far right.");
}  // namespace

NoLogoM::NoLogoM(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
                 float gain, int level, int offset, IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)),
      logoFrame(logoFrame),
      threshold(threshold),
      width(width),
      height(height),
      x(x),
      y(y),
      level(level),
      offset(offset),
      gain(gain),
      logoClip(std::move(logoClip)) {
  // The incompatibility is reported first, also for two clips of other layouts.
  if (!CompatibleClips(this->logoClip->GetVideoInfo(), vi)) env->ThrowError("Logo_Blend: Incompatible clips");
  if (!vi.IsYUY2()) env->ThrowError("NoLogoM: YUY2 data only (no RGB); use ConvertToYUY2");
}

PVideoFrame NoLogoM::GetFrame(int n, IScriptEnvironment* env) {
  const RemovalRule rule{threshold, Overlay{level, gain, offset}, LogoPixels::kCorrect, Softening::kEverywhere};
  return ServeRemoval(
      child, n, logoClip, logoFrame, [this](const ConstFrame&) { return Region{x, y, width, height}; }, rule, simd,
      kTexts, env);
}

}  // namespace pramvix
