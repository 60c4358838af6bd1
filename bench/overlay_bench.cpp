// LogoMask and AddLogo on broadcast sizes: the full frame request and the row
// kernels alone, next to the frame-copy baseline in the same run.
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
  Scene scene(state);
  const PClip alternate = local::MemoryClip::Of({AlternateOf(scene)});
  RequestFrames(state, scene,
                scene.env
                    .Invoke("LogoMask", {scene.mainClip, alternate, scene.logoClip, 0, 20, scene.x, scene.y, scene.w,
                                         scene.h})
                    .AsClip());
}

void LogoMaskKernel(benchmark::State& state) {
  Scene scene(state);
  local::Picture work = scene.main;
  const local::Picture alternate = AlternateOf(scene);
  for (auto _ : state) {
    MaskRegion(Scene::RowsOf(work), Scene::ReadRowsOf(alternate), Scene::ReadRowsOf(scene.logo), scene.LogoRegion(), 20, BestSimd());
    benchmark::ClobberMemory();
  }
}

void AddLogoFrame(benchmark::State& state) {
  Scene scene(state);
  RequestFrames(state, scene, scene.Filter("AddLogo", {0, 20, scene.x, scene.y, scene.w, scene.h, 0}));
}

// Blending its own output again keeps the kernel on the blending path: the
// logo picture decides which pixels blend, not the main luma.
void AddLogoKernel(benchmark::State& state) {
  Scene scene(state);
  local::Picture work = scene.main;
  for (auto _ : state) {
    BlendRegion(Scene::RowsOf(work), Scene::ReadRowsOf(scene.logo), scene.LogoRegion(), 20, BestSimd());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(LogoMaskFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(LogoMaskKernel)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(AddLogoFrame)->Args({720, 576})->Args({1920, 1080});
BENCHMARK(AddLogoKernel)->Args({720, 576})->Args({1920, 1080});

}  // namespace
}  // namespace pramvix::bench
