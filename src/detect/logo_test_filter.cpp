#include "detect/logo_test_filter.h"

#include <utility>

#include "base/compatible_clips.h"
#include "detect/logo_frame_test.h"

namespace pramvix {

LogoTestFilter::LogoTestFilter(PClip child, PClip alternateClip, PClip logoClip, int logoFrame,
                               int frameThreshold, int logoThreshold, int x, int y, int width, int height,
                               const FilterTexts& texts, ScanRowKernel scanRow, IScriptEnvironment* env)
    : GenericVideoFilter(std::move(child)),
      logoFrame(logoFrame),
      region{x, y, width, height},
      frameThreshold(frameThreshold),
      rule(TestRuleOf(frameThreshold, logoThreshold)),
      logoClip(std::move(logoClip)),
      alternateClip(std::move(alternateClip)),
      texts(texts),
      scanRow(scanRow) {
  if (!CompatibleClips(this->logoClip->GetVideoInfo(), vi)) env->ThrowError(texts.incompatible);
  if (!vi.IsYUY2()) env->ThrowError(texts.notYUY2);
}

LogoTestFilter::Request LogoTestFilter::Begin(int n, IScriptEnvironment* env) const {
  Request request;
  request.main = child->GetFrame(n, env);
  request.alternate = alternateClip->GetFrame(n, env);
  request.logo = logoClip->GetFrame(logoFrame, env);
  request.rows = BeginLogoTest(request.main, logoClip, request.logo, region, rule.marking, texts, env);
  return request;
}

}  // namespace pramvix
