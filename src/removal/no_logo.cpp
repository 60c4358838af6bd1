#include "removal/no_logo.h"

#include <utility>

#include "removal/removal_request.h"

namespace pramvix {

namespace {
const FilterTexts kTexts = PRAMVIX_FILTER_TEXTS("NoLogo", "NoLogo: width must be a multiple of 2; use Crop",
                                                "You X position is too far right.");
}  // namespace

NoLogo::NoLogo(PClip child, PClip logoClip, int logoFrame, int threshold, int x, int y, int width, int height,
               IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)),
      logoClip(std::move(logoClip)),
      logoFrame(logoFrame),
      threshold(threshold),
      region{x, y, width, height} {
  if (!vi.IsYUY2()) env->ThrowError("NoLogo: YUY2 data only (no RGB); use ConvertToYUY2");
}

PVideoFrame NoLogo::GetFrame(int n, IScriptEnvironment* env) {
  return ServeRemoval(
      child, n, logoClip, logoFrame, [this](const ConstFrame&) { return region; },
      RemovalRule{threshold, Overlay{}}, simd, kTexts, env);
}

}  // namespace pramvix
