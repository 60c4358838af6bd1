// LogoMask and AddLogo on broadcast sizes: the full frame request and the row
// kernels alone, next to the frame-copy baseline in the same run.
#include <benchmark/benchmark.h>

#include "bench_frames.h"
#include "overlay/blend_kernel.h"
#include "overlay/mask_kernel.h"

namespace pramvix::bench {
namespace {

// A flat grey picture stands in for the alternate clip (in scripts, usually a
// blurred copy of the main clip).
local::Picture AlternateOf(const Scene& scene) {
  return local::Picture::YUY2(scene.main.rowSize / 2, scene.main.height, 110, 120);
}

void LogoMaskFrame(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const PClip alternate = local::MemoryClip::Of({AlternateOf(scene)});
  const PClip filter =
      scene.env.Invoke("LogoMask", {scene.mainClip, alternate, scene.logoClip, 0, 20, scene.x, scene.y, scene.w, scene.h})
          .AsClip();
  for (auto _ : state) benchmark::DoNotOptimize(filter->GetFrame(0, &scene.env));
}

void LogoMaskKernel(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  local::Picture work = scene.main;
  const local::Picture alternatePicture = AlternateOf(scene);
  const MutableFrame main{work.bytes.data(), work.rowSize, work.rowSize, work.height};
  const ConstFrame alternate{alternatePicture.bytes.data(), alternatePicture.rowSize, alternatePicture.rowSize,
                             alternatePicture.height};
  const ConstFrame logo{scene.logo.bytes.data(), scene.logo.rowSize, scene.logo.rowSize, scene.logo.height};
  const Region region{scene.x, scene.y, scene.w, scene.h};
  for (auto _ : state) {
    MaskRegion(main, alternate, logo, region, 20);
    benchmark::ClobberMemory();
  }
}

void AddLogoFrame(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const PClip filter = scene.Filter("AddLogo", {0, 20, scene.x, scene.y, scene.w, scene.h, 0});
  for (auto _ : state) benchmark::DoNotOptimize(filter->GetFrame(0, &scene.env));
}

// Blending its own output again keeps the kernel on the blending path: the
// logo picture decides which pixels blend, not the main luma.
void AddLogoKernel(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  local::Picture work = scene.main;
  const MutableFrame main{work.bytes.data(), work.rowSize, work.rowSize, work.height};
  const ConstFrame logo{scene.logo.bytes.data(), scene.logo.rowSize, scene.logo.rowSize, scene.logo.height};
  const Region region{scene.x, scene.y, scene.w, scene.h};
  for (auto _ : state) {
    BlendRegion(main, logo, region, 20);
    benchmark::ClobberMemory();
  }
}

BENCHMARK(LogoMaskFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(LogoMaskKernel)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(AddLogoFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(AddLogoKernel)->Args({720, 576})->Args({1920, 1080});

}  // namespace
}  // namespace pramvix::bench
