// pramvix_bench: every filter's full frame request and its kernel alone, at
// 1080p and 576p, next to the frame copy of the same size in the same run.
// scripts/bench.sh runs it and prints the table of ratios.
#include <malloc.h>

#include "bench_frames.h"

int main(int argc, char** argv) {
  // Freed frames stay with the process, as in a host's frame pool: each
  // request then gets a hot buffer, and a copy costs the copy, not new pages.
  mallopt(M_MMAP_THRESHOLD, 16 << 20);  // glibc allows at most 32 MiB
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  using namespace pramvix::bench;
  for (const FrameSize& size : kFrameSizes) {
    RegisterCopy(size);
    RegisterRemoval(size);
    RegisterOverlay(size);
    RegisterDetect(size);
    RegisterAuto(size);
    RegisterScan(size);
    RegisterLogoAnalysis(size);
    RegisterRenderThreads(size);
    RegisterY4M(size);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
