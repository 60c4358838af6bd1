#include "removal/no_logo.h"

#include <utility>

#include "base/frame_request.h"
#include "removal/logo_removal.h"

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
  const PVideoFrame logo = logoClip->GetFrame(logoFrame, env);
  PVideoFrame frame = child->GetFrame(n, env);
  const MutableFrame main = MakeMainWritable(frame, kTexts, env);
  CheckRowSize(main, kTexts, env);
  CheckRegion(main, region, kTexts, env);
  const ConstFrame reference = ViewOf(logo);
  CheckLogoCovers(logoClip, reference, region, kTexts, env);

  RemoveLogo(main, reference, region, RemovalRule{threshold, Overlay{}});
  return frame;
}

}  // namespace pramvix
