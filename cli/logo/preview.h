#pragma once
#include "frame_view.h"
#include "local_environment.h"
#include "picture.h"

namespace pramvix::cli::logo {

// One picture, side by side: `frame` with `region` outlined, the same frame
// after the plug-in's NoLogo with `reference` and `threshold`, and the
// reference itself. `host` must have the plug-in loaded; its errors pass.
local::Picture MakePreview(local::LocalEnvironment& host, const local::Picture& frame, const local::Picture& reference,
                           const Box& region, int threshold);

}  // namespace pramvix::cli::logo
