#pragma once
// A broadcast-sized scene for benchmarks: a main clip with a logo region of a
// typical size in its top-right corner, and the logo's reference picture.
#include <string>
#include <vector>

#include "local_environment.h"
#include "memory_clip.h"
#include "picture.h"

namespace pramvix::bench {

struct Scene {
  Scene(int width, int height);
  // Builds a filter over (main, logo, args…).
  PClip Filter(const std::string& function, std::vector<AVSValue> args);

  local::LocalEnvironment env;
  local::Picture main, logo;
  PClip mainClip, logoClip;
  int x, y, w, h;  // the logo region
};

}  // namespace pramvix::bench
