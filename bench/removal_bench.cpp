// Frame requests and row kernels on broadcast sizes, next to the cost of
// copying one frame (what MakeWritable costs), measured in the same run.
#include <benchmark/benchmark.h>

#include "bench_frames.h"
#include "removal/logo_removal.h"

namespace pramvix::bench {
namespace {

void NoLogoFrame(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const PClip filter = scene.Filter("NoLogo", {0, 20, scene.x, scene.y, scene.w, scene.h});
  for (auto _ : state) benchmark::DoNotOptimize(filter->GetFrame(0, &scene.env));
}

void NoLogoKernel(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  local::Picture work = scene.main;
  const MutableFrame main{work.bytes.data(), work.rowSize, work.rowSize, work.height};
  const ConstFrame reference{scene.logo.bytes.data(), scene.logo.rowSize, scene.logo.rowSize, scene.logo.height};
  const Region region{scene.x, scene.y, scene.w, scene.h};
  for (auto _ : state) {
    RemoveLogo(main, reference, region, RemovalRule{20, Overlay{}});
    benchmark::ClobberMemory();
  }
}

void NoLogoMFrame(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const PClip filter = scene.Filter("NoLogoM", {0, 20, scene.x, scene.y, scene.w, scene.h, 1.1f, 215, 2});
  for (auto _ : state) benchmark::DoNotOptimize(filter->GetFrame(0, &scene.env));
}

void NoLogoAutoFrame(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const PClip filter = scene.Filter("NoLogoAuto", {0});
  for (auto _ : state) benchmark::DoNotOptimize(filter->GetFrame(0, &scene.env));
}

BENCHMARK(NoLogoMFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(NoLogoAutoFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(NoLogoFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(NoLogoKernel)->Args({720, 576})->Args({1920, 1080});

}  // namespace
}  // namespace pramvix::bench
