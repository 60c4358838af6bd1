// logo/search/<size>/kernel…: the search's statistics of one frame, per
// instruction set. logo/read/<size> and logo/analysis/<size>: `pramvix logo`'s
// analysis of a Y4M file next to a plain read of the same frames from the same
// file (in the page cache), both in frames per second of real time, as the
// analysis reads on a thread of its own. The CPU column is the whole
// process's, and cpu-frames/s the frames per second of it. The recording is
// synthetic: moving textured and calm scenes with a logo in the top-right
// corner.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <time.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "bench_frames.h"
#include "logo_recording.h"
#include "cli_error.h"
#include "logo/analysis.h"
#include "logo/region_search.h"
#include "logo/sampling.h"
#include "y4m.h"

namespace pramvix::bench {
using quality::RecordingPlan;
using quality::SyntheticRecording;

namespace {

// A clip of some hundreds of frames, as a run samples up to 2000 from a long
// recording: the analysis' costs once per run (its threads' start, the
// looks for the logo, the fit's solution, the thresholds) weigh as they do
// there, not as over a few dozen frames.
constexpr int kFrames = 480;

// Temporary files, removed when the program ends.
struct Recordings {
  std::string paths[2];
  ~Recordings() {
    for (const std::string& path : paths) {
      if (!path.empty()) std::remove(path.c_str());
    }
  }
};

// The recording's file, written once per size.
const std::string& RecordingFile(const FrameSize& size) {
  static Recordings recordings;
  std::string& path = recordings.paths[size.width == kFrameSizes[0].width ? 0 : 1];
  if (path.empty()) {
    quality::RecordingPlan plan;
    plan.width = size.width, plan.height = size.height, plan.frames = kFrames;
    plan.logoWidth = size.logoWidth - 20, plan.logoHeight = size.logoHeight - 16;
    plan.sceneFrames = 4;  // many short scenes: the analysis sees a long clip's variety in few frames
    char name[] = "/tmp/pramvix-logo-bench-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    path = name;
    quality::SyntheticRecording(plan).WriteY4M(path);
  }
  return path;
}

double ProcessSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

void SetCounters(benchmark::State& state, double cpuSeconds) {
  const double frames = static_cast<double>(state.iterations()) * kFrames;
  state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  state.counters["cpu-frames/s"] = cpuSeconds > 0 ? frames / cpuSeconds : 0.0;
}

std::unique_ptr<cli::Y4MReader> Open(const std::string& path) {
  return std::make_unique<cli::Y4MReader>(cli::OpenSource(path), path);
}

}  // namespace

void RegisterLogoAnalysis(const FrameSize& size) {
  // The search's work on one frame: its cells, and their steps into the sums
  // (a batch's worth every eighth frame). The statistics take at most
  // kMaxSampleCap frames, so a long run starts them afresh, untimed; the
  // kernels do not branch on the bytes.
  RegisterKernel(NameOf("logo/search", size), [size](benchmark::State& state, Simd simd) {
    auto statistics = std::make_unique<cli::logo::EdgeStatistics>(size.width, size.height, simd);
    std::vector<uint8_t> planar(static_cast<size_t>(size.width) * size.height * 2);
    std::minstd_rand random(1);
    for (uint8_t& b : planar) b = static_cast<uint8_t>(random());
    const auto frame = cli::logo::FrameView::OfPlanar(planar.data(), size.width, size.height);
    std::vector<uint8_t> cells(statistics->CellBytes());
    for (auto _ : state) {
      if (statistics->Frames() == cli::logo::kMaxSampleCap) {
        state.PauseTiming();
        statistics = std::make_unique<cli::logo::EdgeStatistics>(size.width, size.height, simd);
        state.ResumeTiming();
      }
      statistics->MakeCells(frame, cells.data());
      statistics->AddCells(cells);
    }
  });
  benchmark::RegisterBenchmark(NameOf("logo/read", size).c_str(), [size](benchmark::State& state) {
    const std::string& path = RecordingFile(size);
    std::vector<uint8_t> planar(static_cast<size_t>(size.width) * size.height * 2);
    const double start = ProcessSeconds();
    for (auto _ : state) {
      auto reader = Open(path);
      int frames = 0;
      while (reader->ReadFrame(planar.data())) ++frames;
      benchmark::DoNotOptimize(frames);
    }
    SetCounters(state, ProcessSeconds() - start);
  })->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
  benchmark::RegisterBenchmark(NameOf("logo/analysis", size).c_str(), [size](benchmark::State& state) {
    const std::string& path = RecordingFile(size);
    const double start = ProcessSeconds();
    for (auto _ : state) {
      cli::logo::FrameSampler sampler(Open(path), {});
      try {
        benchmark::DoNotOptimize(cli::logo::AnalyseClip(sampler, {}).reference.logoPixels);
      } catch (const cli::CliError& e) {
        state.SkipWithError(e.what());
        break;
      }
    }
    SetCounters(state, ProcessSeconds() - start);
  })->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
}

}  // namespace pramvix::bench
