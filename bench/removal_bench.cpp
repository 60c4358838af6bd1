// The logo-removal filters on broadcast sizes: full frame requests and the row
// pass alone, next to the cost of copying one frame (what MakeWritable costs),
// measured in the same run.
#include "bench_frames.h"
#include "removal/logo_removal.h"

namespace pramvix::bench {
namespace {

void NoLogoFrame(benchmark::State& state) {
  Scene scene(state);
  RequestFrames(state, scene, scene.Filter("NoLogo", {0, 20, scene.x, scene.y, scene.w, scene.h}));
}

void NoLogoMFrame(benchmark::State& state) {
  Scene scene(state);
  RequestFrames(state, scene, scene.Filter("NoLogoM", {0, 20, scene.x, scene.y, scene.w, scene.h, 1.1f, 215, 2}));
}

void NoLogoAutoFrame(benchmark::State& state) {
  Scene scene(state);
  RequestFrames(state, scene, scene.Filter("NoLogoAuto", {0}));
}

void NoLogoKernel(benchmark::State& state) {
  Scene scene(state);
  local::Picture work = scene.main;
  for (auto _ : state) {
    RemoveLogo(Scene::RowsOf(work), Scene::ReadRowsOf(scene.logo), scene.LogoRegion(), RemovalRule{20, Overlay{}}, BestSimd());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(NoLogoFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(NoLogoMFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(NoLogoAutoFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(NoLogoKernel)->Args({720, 576})->Args({1920, 1080});

}  // namespace
}  // namespace pramvix::bench
