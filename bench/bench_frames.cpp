#include "bench_frames.h"

#include <utility>

namespace pramvix::bench {

std::string NameOf(const char* function, const FrameSize& size) {
  return std::string(function) + "/" + size.label;
}

void RegisterCopy(const FrameSize& size) {
  benchmark::RegisterBenchmark(NameOf("copy", size).c_str(), [size](benchmark::State& state) {
    Scene& scene = LogoScene(size);
    for (auto _ : state) {
      PVideoFrame frame = scene.mainClip->GetFrame(0, &scene.env);
      scene.env.MakeWritable(&frame);
      benchmark::DoNotOptimize(frame.get());
    }
  })->Unit(benchmark::kMicrosecond);
}

// Each request fetches the clip's frame, which the clip still holds, so
// MakeWritable copies it as a host's cache would make it copy: the copy is
// part of every filter's cost, as it is in a script.
void RegisterFrame(const std::string& name, SceneOf sceneOf, const char* function, ArgsOf args) {
  benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
    Scene& scene = sceneOf();
    const PClip filter = scene.env.Invoke(function, args(scene)).AsClip();
    for (auto _ : state) benchmark::DoNotOptimize(filter->GetFrame(0, &scene.env));
  })->Unit(benchmark::kMicrosecond);
}

void RegisterKernel(const std::string& name, KernelRun run) {
  benchmark::RegisterBenchmark((name + "/kernel").c_str(), [run](benchmark::State& state) {
    run(state, BestSimd());
  })->Unit(benchmark::kMicrosecond);
  for (Simd simd : SupportedSimd()) {
    benchmark::RegisterBenchmark((name + "/kernel/" + SimdName(simd)).c_str(), [run, simd](benchmark::State& state) {
      run(state, simd);
    })->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace pramvix::bench
