#pragma once
#include <string>
#include <vector>

#include "base/region.h"
#include "detect/logo_frame_test.h"

namespace pramvix::cli::scan {

// `pramvix scan [options] CLIP LOGO_CLIP LOGO_FRAME FRAME_THRESHOLD
// LOGO_THRESHOLD X Y WIDTH HEIGHT`: the detection functions' arguments
// without the alternate clip, and where the results go.
struct ScanOptions {
  LogoRule rule = LogoRule::kIfNoLogo;
  std::string clip, logoClip;
  int logoFrame = 0, frameThreshold = 0, logoThreshold = 0;
  Region region;
  double minLength = 1.0;  // seconds; shorter segments merge into their neighbours
  bool json = false;
  std::string csv, chapters, cutList, plot;  // empty: not written
  int threads = 0;  // 0: one per core
  bool quiet = false;
  bool help = false;
};

// Throws UsageError naming the option or argument at fault.
ScanOptions ParseScanOptions(const std::vector<std::string>& words);

std::string ScanUsage();

const char* RuleName(LogoRule rule);

}  // namespace pramvix::cli::scan
