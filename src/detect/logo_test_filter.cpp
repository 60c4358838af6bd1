#include "detect/logo_test_filter.h"

#include <utility>

#include "base/frame_request.h"

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

LogoTestFilter::Request LogoTestFilter::Begin(int n, const FilterTexts& texts, IScriptEnvironment* env) const {
  Request request;
  request.main = child->GetFrame(n, env);
  request.alternate = alternateClip->GetFrame(n, env);
  request.logo = logoClip->GetFrame(logoFrame, env);
  request.rows = BeginRegionRequest(request.main, logoClip, request.logo, region, texts, env);
  return request;
}

}  // namespace pramvix
