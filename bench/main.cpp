#include <benchmark/benchmark.h>
#include <malloc.h>

// Freed frames stay with the process, as in a host's frame pool: each request
// then gets a hot buffer, and a copy costs the copy, not fresh pages.
int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 16 << 20);  // glibc allows at most 32 MiB
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
