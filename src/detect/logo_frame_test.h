#pragma once
// One frame's logo test as IfLogo and IfNoLogo run it, for the filters and for
// tools that want the counts behind the decision (the command's scan).
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

// Makes `main` writable, makes the rule's filter's checks with its own texts,
// scans the region and decides as the filter does. In marking mode
// (frameThreshold < 0) the marks land in `main`.
LogoFrameTest TestLogoFrame(LogoRule rule, PVideoFrame& main, const PClip& logoClip, const PVideoFrame& logo,
                            const Region& region, int frameThreshold, int logoThreshold, Simd simd,
                            IScriptEnvironment* env);

}  // namespace pramvix
