#pragma once
// A broadcast-sized scene for benchmarks: a main clip with a logo region of a
// typical size in its top-right corner, and the logo's reference picture.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "base/region.h"
#include "base/yuy2.h"

#include "local_environment.h"
#include "memory_clip.h"
#include "picture.h"

namespace pramvix::bench {

struct Scene {
  Scene(int width, int height);
  // The size the benchmark's two arguments give.
  explicit Scene(const benchmark::State& state)
      : Scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))) {}
  // Builds a filter over (main, logo, args…).
  PClip Filter(const std::string& function, std::vector<AVSValue> args);

  // For kernels: rows of a picture packed without padding, and the region.
  static MutableFrame RowsOf(local::Picture& picture);
  static ConstFrame ReadRowsOf(const local::Picture& picture);
  Region LogoRegion() const { return Region{x, y, w, h}; }

  local::LocalEnvironment env;
  local::Picture main, logo;
  PClip mainClip, logoClip;
  int x, y, w, h;  // the logo region
};

// The timed loop of a full frame request.
void RequestFrames(benchmark::State& state, Scene& scene, const PClip& filter);

}  // namespace pramvix::bench
