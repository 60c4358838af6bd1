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
  // The frames of request n, fetched main, alternate, logo on every call
  // whatever the outcome; the main frame made writable and checked, with the
  // filter's own texts, before any byte is written.
  struct Request {
    PVideoFrame main;
    PVideoFrame alternate;
    PVideoFrame logo;
    RegionFrames rows;  // the main frame's writable rows and the logo frame's
  };
  Request Begin(int n, const FilterTexts& texts, IScriptEnvironment* env) const;

  TestRule Rule() const { return TestRuleOf(frameThreshold, logoThreshold); }

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
