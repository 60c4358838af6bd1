// IfLogo and IfNoLogo: full frame requests through the local host, and the
// region scans alone on the same pictures. The main clip shows the logo and
// the alternate clip is the same content without it. IfNoLogo finds the logo
// and returns the alternate frame; IfLogo, whose edge test spans three pixels
// on each side, counts more misses than hits at these sharp edges and returns
// the main frame. Either way the request fetches and copies the same frames
// and scans the whole region.
#include <string>

#include "bench_frames.h"
#include "detect/logo_edge_scan.h"

namespace pramvix::bench {

namespace {

// A luma step of 30 in the reference picture makes a logo-edge position.
constexpr int kLogoStep = 30;

using Scan = Totals (*)(const MutableFrame&, const ConstFrame&, const Region&, const TestRule&, Simd);

void Register(const FrameSize& size, const char* function, Scan scan) {
  const SceneOf logo = [size]() -> Scene& { return LogoScene(size); };
  const std::string name = NameOf(function, size);
  RegisterFrame(name, logo, function, [](const Scene& s) -> std::vector<AVSValue> {
    return {s.mainClip, s.cleanClip, s.referenceClip, 0, kThreshold, kLogoStep,
            s.region.x, s.region.y,  s.region.width,  s.region.height};
  });
  // A positive frame threshold marks nothing, so every iteration reads the
  // same pictures.
  RegisterKernel(name, [logo, scan](benchmark::State& state, Simd simd) {
    Scene& scene = logo();
    local::Picture work = scene.main;
    const TestRule rule = TestRuleOf(kThreshold, kLogoStep);
    for (auto _ : state) {
      benchmark::DoNotOptimize(scan(RowsOf(work), ReadRowsOf(scene.reference), scene.region, rule, simd));
    }
  });
}

}  // namespace

void RegisterDetect(const FrameSize& size) {
  Register(size, "IfLogo", ScanIfLogo);
  Register(size, "IfNoLogo", ScanIfNoLogo);
}

}  // namespace pramvix::bench
