#pragma once
// What IfLogo and IfNoLogo share: their arguments and fields, the checks of
// their clips, and the frames of a request up to the point where each runs its
// own test.
#include "base/filter_texts.h"
#include "base/frame_request.h"
#include "base/generic_video_filter.h"
#include "base/simd.h"
#include "base/region.h"
#include "base/yuy2.h"
#include "detect/logo_edge_scan.h"
#include "detect/logo_frame_test.h"

namespace pramvix {

class LogoTestFilter : public GenericVideoFilter {
 public:
  // Refuses a logo clip of another size or pixel type, then a main clip that
  // is not YUY2. The alternate clip is never compared: its frame is only ever
  // returned as it is.
  LogoTestFilter(PClip child, PClip alternateClip, PClip logoClip, int logoFrame, int frameThreshold,
                 int logoThreshold, int x, int y, int width, int height, IScriptEnvironment* env);
  // Each filter runs its own test and makes its own choice.
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override = 0;
  ~LogoTestFilter() override = default;

 protected:
  // Request n under `rule`: the frames fetched main, alternate, logo on every
  // call whatever the outcome, then the test of TestLogoFrame; returns the
  // alternate frame when it passes, else the writable main frame.
  PVideoFrame Serve(LogoRule rule, int n, IScriptEnvironment* env) const;

  const int logoFrame;
  const int logoThreshold;
  const Region region;
  const int frameThreshold;
  // Released in reverse: alternateClip, then logoClip, then the base's child.
  const PClip logoClip;
  const PClip alternateClip;
  const Simd simd = BestSimd();  // the pixel kernels' instruction set, chosen once
};

}  // namespace pramvix
