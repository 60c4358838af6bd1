#include "removal/no_logo_auto.h"

#include <utility>

#include "base/arithmetic.h"
#include "base/frame_request.h"

namespace pramvix {

// NoLogoAuto raises NoLogo's texts for its clip and frame width. It has no
// region of its own, so no right-edge text.
const FilterTexts NoLogoAuto::kTexts =
    PRAMVIX_FILTER_TEXTS("NoLogoAuto", "NoLogo: YUY2 data only (no RGB); use ConvertToYUY2", nullptr,
                         "NoLogo: width must be a multiple of 2; use Crop", nullptr);

// The most negative frame number stands for the largest, which the host clamps
// to the logo clip's last frame.
NoLogoAuto::NoLogoAuto(PClip child, PClip logoClip, int logoFrame, IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)),
      logoFrame(SaturatingAbs(logoFrame)),
      logoClip(std::move(logoClip)),
      logoPixels(logoFrame < 0 ? LogoPixels::kMark : LogoPixels::kCorrect) {
  if (!vi.IsYUY2()) env->ThrowError(kTexts.notYUY2);
}

PVideoFrame NoLogoAuto::GetFrame(int n, IScriptEnvironment* env) {
  const PVideoFrame logoHandle = logoClip->GetFrame(logoFrame, env);
  const FrameToFill frame = TakeMainFrame(child->GetFrame(n, env), kTexts, env);
  const MutableFrame& main = frame.rows;
  CheckRowSize(main, kTexts, env);
  // Every pixel but the first of each row, every row but the last: inside the
  // frame whatever its size, so only the logo frame is checked.
  const Region region{1, 0, main.Width() - 1, main.height - 1};
  const ConstFrame logo = ViewOf(logoHandle);
  CheckLogoCovers(logoClip, logo, region, kTexts, env);
  RemoveLogoAuto(frame.source, main, logo, logoPixels, removeRow);
  return frame.out;
}

}  // namespace pramvix
