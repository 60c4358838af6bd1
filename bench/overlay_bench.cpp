// LogoMask and AddLogo: full frame requests through the local host, and the
// region kernels alone on the same pictures.
#include <string>

#include "bench_frames.h"
#include "overlay/blend_kernel.h"
#include "overlay/mask_kernel.h"

namespace pramvix::bench {

// LogoMask's alternate picture is the content without the logo (in scripts,
// often a blurred or shifted copy of the main clip). AddLogo draws the logo
// into that clean content.
void RegisterOverlay(const FrameSize& size) {
  const SceneOf logo = [size]() -> Scene& { return LogoScene(size); };

  // Each iteration copies the same alternate pixels in again: the mask
  // follows from the reference picture alone.
  const std::string logoMask = NameOf("LogoMask", size);
  RegisterFrame(logoMask, logo, "LogoMask", [](const Scene& s) -> std::vector<AVSValue> {
    return {s.mainClip, s.cleanClip, s.referenceClip, 0, kThreshold,
            s.region.x, s.region.y,  s.region.width,  s.region.height};
  });
  RegisterKernel(logoMask, [logo](benchmark::State& state, Simd simd) {
    Scene& scene = logo();
    local::Picture work = scene.main;
    for (auto _ : state) {
      MaskRegion(RowsOf(work), ReadRowsOf(scene.clean), ReadRowsOf(scene.reference), scene.region, kThreshold, simd);
      benchmark::ClobberMemory();
    }
  });

  // Blending into its own output again keeps the kernel on the same work:
  // which pixels blend follows from the reference picture alone, and a blend
  // costs the same whatever the main luma.
  const std::string addLogo = NameOf("AddLogo", size);
  RegisterFrame(addLogo, logo, "AddLogo", [](const Scene& s) -> std::vector<AVSValue> {
    return {s.cleanClip, s.referenceClip, 0, static_cast<float>(kThreshold),
            s.region.x,  s.region.y,      s.region.width, s.region.height, 0};
  });
  RegisterKernel(addLogo, [logo](benchmark::State& state, Simd simd) {
    Scene& scene = logo();
    local::Picture work = scene.clean;
    for (auto _ : state) {
      BlendRegion(RowsOf(work), ReadRowsOf(scene.reference), scene.region, kThreshold, simd);
      benchmark::ClobberMemory();
    }
  });
}

}  // namespace pramvix::bench
