// The logo-removal filters: full frame requests through the local host, and
// the row passes alone on the same pictures.
#include <string>

#include "bench_frames.h"
#include "removal/auto_removal.h"
#include "removal/logo_removal.h"
#include "removal/no_logo_color.h"

namespace pramvix::bench {
namespace {

// Cleaning its own output again keeps every iteration on the same work: which
// pixels are corrected and which are softened follows from the reference
// picture alone. Only the values drift (corrected pixels darken toward 0),
// and the correction costs the same whatever the main luma.
void RemoveLogoKernel(benchmark::State& state, Scene& scene, const RemovalRule& rule, Simd simd) {
  local::Picture work = scene.main;
  const MutableFrame main = RowsOf(work);
  const ConstFrame reference = ReadRowsOf(scene.reference);
  for (auto _ : state) {
    RemoveLogo(main, reference, scene.region, rule, simd);
    benchmark::ClobberMemory();
  }
}

}  // namespace

void RegisterRemoval(const FrameSize& size) {
  const SceneOf logo = [size]() -> Scene& { return LogoScene(size); };

  const std::string noLogo = NameOf("NoLogo", size);
  RegisterFrame(noLogo, logo, "NoLogo", [](const Scene& s) -> std::vector<AVSValue> {
    return {s.mainClip, s.referenceClip, 0, kThreshold, s.region.x, s.region.y, s.region.width, s.region.height};
  });
  RegisterKernel(noLogo, [logo](benchmark::State& state, Simd simd) {
    RemoveLogoKernel(state, logo(), Checked(RemovalRule{kThreshold, Overlay{}}), simd);
  });

  // Level 222, gain 1, offset 0: the overlay NoLogo assumes, with softening
  // everywhere.
  const std::string noLogoM = NameOf("NoLogoM", size);
  RegisterFrame(noLogoM, logo, "NoLogoM", [](const Scene& s) -> std::vector<AVSValue> {
    return {s.mainClip, s.referenceClip, 0, kThreshold, s.region.x, s.region.y, s.region.width, s.region.height,
            1.0f, 222, 0};
  });
  RegisterKernel(noLogoM, [logo](benchmark::State& state, Simd simd) {
    const RemovalRule rule =
        Checked(RemovalRule{kThreshold, Overlay{222, 1.0f, 0}, LogoPixels::kCorrect, Softening::kEverywhere});
    RemoveLogoKernel(state, logo(), rule, simd);
  });

  // The same overlay, softened at edges only, and the chroma pass: its kernel
  // is held against NoLogoM's. As for the luma, which pairs are restored
  // follows from the reference picture alone; the chroma drifts toward its
  // limits from one iteration to the next at the same cost (no branch on it).
  const std::string noLogoColor = NameOf("NoLogoColor", size);
  RegisterFrame(noLogoColor, logo, "NoLogoColor", [](const Scene& s) -> std::vector<AVSValue> {
    return {s.mainClip, s.referenceClip, 0, kThreshold, s.region.x, s.region.y, s.region.width, s.region.height,
            1.0f, 222, 0};
  });
  RegisterKernel(noLogoColor, [logo](benchmark::State& state, Simd simd) {
    Scene& scene = logo();
    const ColourRemoval removal(kThreshold, Overlay{222, 1.0f, 0}, simd);
    local::Picture work = scene.main;
    const MutableFrame main = RowsOf(work);
    const ConstFrame reference = ReadRowsOf(scene.reference);
    for (auto _ : state) {
      RemoveLogoInColour(main, reference, scene.region, removal);
      benchmark::ClobberMemory();
    }
  });
}

// NoLogoAuto walks the whole frame with its own pass: NoLogo's with the fixed
// threshold 5 over every row but the last and every pixel but the first.
void RegisterAuto(const FrameSize& size) {
  for (int percent : {5, 50}) {
    const SceneOf blobs = [size, percent]() -> Scene& { return AutoScene(size, percent); };
    const std::string name = NameOf("NoLogoAuto", size) + "/logo" + std::to_string(percent);
    RegisterFrame(name, blobs, "NoLogoAuto", [](const Scene& s) -> std::vector<AVSValue> {
      return {s.mainClip, s.referenceClip, 0};
    });
    RegisterKernel(name, [blobs](benchmark::State& state, Simd simd) {
      Scene& scene = blobs();
      local::Picture work = scene.main;
      const MutableFrame main = RowsOf(work);
      const ConstFrame reference = ReadRowsOf(scene.reference);
      const AutoRowKernel row = AutoRowFor(simd);
      for (auto _ : state) {
        RemoveLogoAuto(main, reference, LogoPixels::kCorrect, row);
        benchmark::ClobberMemory();
      }
    });
  }
}

}  // namespace pramvix::bench
