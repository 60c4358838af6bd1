// The switching filters' frame requests and region scans on broadcast sizes,
// next to the cost of copying one frame (what MakeWritable costs).
#include "bench_frames.h"
#include "detect/logo_edge_scan.h"

namespace pramvix::bench {
namespace {

// The main clip doubles as the alternate: the request fetches it either way.
PClip SwitchFilter(Scene& scene, const char* function, int frameThreshold) {
  return scene.env
      .Invoke(function, {scene.mainClip, scene.mainClip, scene.logoClip, 0, frameThreshold, 30, scene.x, scene.y,
                         scene.w, scene.h})
      .AsClip();
}

void Frame(benchmark::State& state, const char* function, int frameThreshold) {
  Scene scene(state);
  RequestFrames(state, scene, SwitchFilter(scene, function, frameThreshold));
}

template <Totals (*Scan)(const MutableFrame&, const ConstFrame&, const Region&, const TestRule&, Simd)>
void Kernel(benchmark::State& state) {
  Scene scene(state);
  local::Picture work = scene.main;
  const TestRule rule = TestRuleOf(20, 30);
  for (auto _ : state) {
    benchmark::DoNotOptimize(Scan(Scene::RowsOf(work), Scene::ReadRowsOf(scene.logo), scene.LogoRegion(), rule, BestSimd()));
  }
}

void IfLogoFrame(benchmark::State& state) { Frame(state, "IfLogo", 20); }
void IfLogoMarkingFrame(benchmark::State& state) { Frame(state, "IfLogo", -20); }
void IfNoLogoFrame(benchmark::State& state) { Frame(state, "IfNoLogo", 20); }
void IfLogoKernel(benchmark::State& state) { Kernel<ScanIfLogo>(state); }
void IfNoLogoKernel(benchmark::State& state) { Kernel<ScanIfNoLogo>(state); }

BENCHMARK(IfLogoFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(IfLogoMarkingFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(IfNoLogoFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(IfLogoKernel)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(IfNoLogoKernel)->Args({720, 576})->Args({1920, 1080});

}  // namespace
}  // namespace pramvix::bench
