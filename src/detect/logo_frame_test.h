#pragma once
// One frame's logo test as IfLogo and IfNoLogo run it, for the filters and for
// tools that want the counts behind the decision (the command's scan).
#include "base/filter_texts.h"
#include "base/frame_request.h"
#include "base/region.h"
#include "base/simd.h"
#include "detect/logo_edge_scan.h"
#include "host/host.h"

namespace pramvix {

enum class LogoRule { kIfLogo, kIfNoLogo };

struct LogoFrameTest {
  Totals totals;
  bool passes = false;  // the filter returns the alternate frame
};

// The frames of a test, checked as every region filter checks them. Only
// marking writes: then the main frame is made writable first. Otherwise the
// row tests read the main frame where it is, shared with whoever else holds
// it, and no copy is made.
RegionFrames BeginLogoTest(PVideoFrame& main, const PClip& logoClip, const PVideoFrame& logo, const Region& region,
                           bool marking, const FilterTexts& texts, IScriptEnvironment* env);

// Makes the rule's filter's checks with its own texts, scans the region and
// decides as the filter does. In marking mode (frameThreshold < 0) `main` is
// made writable and the marks land in it.
LogoFrameTest TestLogoFrame(LogoRule rule, PVideoFrame& main, const PClip& logoClip, const PVideoFrame& logo,
                            const Region& region, int frameThreshold, int logoThreshold, Simd simd,
                            IScriptEnvironment* env);

}  // namespace pramvix
