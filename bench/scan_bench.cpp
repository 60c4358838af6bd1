// The command's scan against a plain read of the same Y4M file, and a removal
// composed with the detection (removal only where the logo is) next to the
// removal alone (NoLogo/<size>) and the detection's kernel.

#include <cstdio>
#include <string>

#include "bench_frames.h"
#include "scene_files.h"
#include "scan/detection.h"
#include "y4m.h"
#include "y4m_clip.h"

namespace pramvix::bench {

namespace {

constexpr int kFileFrames = 8;  // more than the clip keeps, so every request reads
constexpr int kLogoStep = 30;

const SceneFiles& FilesFor(const FrameSize& size) {
  return SceneFilesFor(std::string("scan_") + size.label, LogoScene(size), kFileFrames);
}

}  // namespace

void RegisterScan(const FrameSize& size) {
  benchmark::RegisterBenchmark(NameOf("y4m-read", size).c_str(), [size](benchmark::State& state) {
    const PClip clip = cli::OpenClip(FilesFor(size).clip);
    Scene& scene = LogoScene(size);
    int n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(clip->GetFrame(n++ % kFileFrames, &scene.env));
    state.SetItemsProcessed(state.iterations());
  })->Unit(benchmark::kMicrosecond);

  benchmark::RegisterBenchmark(NameOf("scan", size).c_str(), [size](benchmark::State& state) {
    const Scene& scene = LogoScene(size);
    cli::scan::ScanOptions options;
    options.clip = FilesFor(size).clip;
    options.logoClip = FilesFor(size).logo;
    options.frameThreshold = kThreshold;
    options.logoThreshold = kLogoStep;
    options.region = scene.region;
    cli::scan::Detection detection(options);
    int n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(detection.Test(n++ % kFileFrames));
    state.SetItemsProcessed(state.iterations());
  })->Unit(benchmark::kMicrosecond);

  // IfNoLogo(main, NoLogo(main, …), …): the same graph the command builds.
  const SceneOf logo = [size]() -> Scene& { return LogoScene(size); };
  RegisterFrame(NameOf("IfNoLogo(NoLogo)", size), logo, "IfNoLogo", [](const Scene& s) -> std::vector<AVSValue> {
    Scene& scene = const_cast<Scene&>(s);
    const PClip removed = scene.env
                              .Invoke("NoLogo", {s.mainClip, s.referenceClip, 0, kThreshold, s.region.x, s.region.y,
                                                 s.region.width, s.region.height})
                              .AsClip();
    return {s.mainClip, removed, s.referenceClip, 0, kThreshold, kLogoStep,
            s.region.x, s.region.y, s.region.width, s.region.height};
  });
}

}  // namespace pramvix::bench
