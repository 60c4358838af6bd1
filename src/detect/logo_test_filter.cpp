#include "detect/logo_test_filter.h"

#include <utility>


namespace pramvix {

LogoTestFilter::LogoTestFilter(PClip child, PClip alternateClip, PClip logoClip, int logoFrame,
                               int frameThreshold, int logoThreshold, int x, int y, int width, int height,
                               IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)),
      logoFrame(logoFrame),
      logoThreshold(logoThreshold),
      region{x, y, width, height},
      frameThreshold(frameThreshold),
      logoClip(std::move(logoClip)),
      alternateClip(std::move(alternateClip)) {
  const VideoInfo& logo = this->logoClip->GetVideoInfo();
  if (logo.width != vi.width || logo.height != vi.height || logo.pixel_type != vi.pixel_type) {
    env->ThrowError("If Luma Logo test: Incompatible clips");
  }
  if (!vi.IsYUY2()) env->ThrowError("IfLogo: YUY2 data only (no RGB); use ConvertToYUY2");
}

PVideoFrame LogoTestFilter::Serve(LogoRule rule, int n, IScriptEnvironment* env) const {
  PVideoFrame main = child->GetFrame(n, env);
  PVideoFrame alternate = alternateClip->GetFrame(n, env);
  const PVideoFrame logo = logoClip->GetFrame(logoFrame, env);
  const LogoFrameTest test =
      TestLogoFrame(rule, main, logoClip, logo, region, frameThreshold, logoThreshold, simd, env);
  // The alternate frame goes back as it came; the main frame's marks are dropped.
  return test.passes ? alternate : main;
}

}  // namespace pramvix
