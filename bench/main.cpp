// pramvix_bench: every filter's full frame request and its kernel alone, at
// 1080p and 576p, next to the frame copy of the same size in the same run.
// scripts/bench.sh runs it and prints the table of ratios.
#include "bench_frames.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  using namespace pramvix::bench;
  for (const FrameSize& size : kFrameSizes) {
    RegisterCopy(size);
    RegisterRemoval(size);
    RegisterOverlay(size);
    RegisterDetect(size);
    RegisterAuto(size);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
