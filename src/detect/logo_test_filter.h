#pragma once
// What IfLogo and IfNoLogo share: their arguments and fields, the checks of
// their clips, and the frames of a request up to the point where each makes
// its own choice.
#include "base/filter_texts.h"
#include "base/frame_request.h"
#include "base/generic_video_filter.h"
#include "base/region.h"
#include "detect/logo_edge_scan.h"

namespace pramvix {

class LogoTestFilter : public GenericVideoFilter {
 public:
  // Each filter runs its own test and makes its own choice.
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override = 0;
  ~LogoTestFilter() override = default;

 protected:
  // Refuses a logo clip of another size or pixel type, then a main clip that
  // is not YUY2, with the filter's texts. The alternate clip is never
  // compared: its frame is only ever returned as it is. scanRow is the
  // filter's row test, chosen once.
  LogoTestFilter(PClip child, PClip alternateClip, PClip logoClip, int logoFrame, int frameThreshold,
                 int logoThreshold, int x, int y, int width, int height, const FilterTexts& texts,
                 ScanRowKernel scanRow, IScriptEnvironment* env);

  // The frames of request n, fetched main, alternate, logo on every call
  // whatever the outcome, and checked before any byte is written; the main
  // frame is made writable only in marking mode, the only one that writes.
  struct Request {
    PVideoFrame main;
    PVideoFrame alternate;
    PVideoFrame logo;
    RegionFrames rows;  // the main frame's rows and the logo frame's
  };
  Request Begin(int n, IScriptEnvironment* env) const;

  // The filter's row test over the region of a request.
  Totals Scan(const Request& request) const {
    return ScanRegion(request.rows.main, request.rows.logo, region, rule, scanRow);
  }

  const int logoFrame;
  const Region region;
  const int frameThreshold;
  const TestRule rule;
  // Released in reverse: alternateClip, then logoClip, then the base's child.
  const PClip logoClip;
  const PClip alternateClip;
  const FilterTexts& texts;
  const ScanRowKernel scanRow;
};

}  // namespace pramvix
