#pragma once
#include "frame_view.h"
#include "local_environment.h"
#include "picture.h"

namespace pramvix::cli::logo {

// The logo's strength for the removal: NoLogoM's and NoLogoColor's level
// (its luma − 16) and gain.
struct Strength {
  int level = 222;
  double gain = 1.0;
};

// One picture, side by side: `frame` with `region` outlined, the same frame
// after the plug-in's NoLogoColor with `reference`, `threshold` and the
// logo's strength (luma and colour removed, as the advice says), and the
// reference itself. `host` must have the plug-in loaded; its errors pass.
local::Picture MakePreview(local::LocalEnvironment& host, const local::Picture& frame, const local::Picture& reference,
                           const Box& region, int threshold, const Strength& strength = {});

}  // namespace pramvix::cli::logo
