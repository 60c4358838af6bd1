// The command's render path (Y4M file in, NoLogoAuto, Y4M out) on one thread
// and on two, timed by the wall clock in the same run: frames per second of
// each and their ratio.

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "bench_frames.h"
#include "scene_files.h"
#include "render.h"
#include "shared_clips.h"
#include "y4m.h"
#include "y4m_clip.h"

namespace pramvix::bench {

namespace {

constexpr int kFrames = 96;  // many more than the clips keep: every frame is read
constexpr int kLogoPercent = 50;

const SceneFiles& FilesFor(const FrameSize& size) {
  return SceneFilesFor(std::string("render_") + size.label, AutoScene(size, kLogoPercent), kFrames);
}

// Seconds for one run of the command's path: open the files, build the call,
// write every frame to /dev/null.
double RenderSeconds(const FrameSize& size, int threads, std::FILE* sink) {
  Scene& scene = AutoScene(size, kLogoPercent);
  const auto start = std::chrono::steady_clock::now();
  cli::SharedClips clips;
  clips.KeepAhead(threads > 1 ? cli::RenderWindow(threads) : 0);
  const PClip clip = clips.Open(FilesFor(size).clip);
  const PClip logo = clips.Open(FilesFor(size).logo);
  const PClip filtered = scene.env.Invoke("NoLogoAuto", {clip, logo, 0}).AsClip();
  cli::Y4MFormat format;
  format.width = size.width;
  format.height = size.height;
  const int written = cli::RenderY4M(*filtered, dynamic_cast<cli::Y4MClip*>(clip.get()), format, {}, scene.env, sink,
                                     "/dev/null", {}, threads);
  if (written != kFrames) throw std::runtime_error("the render wrote " + std::to_string(written) + " frames");
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

// render/NoLogoAuto/<size>/threads: one iteration runs the file through on one
// thread, then on two; the counters give each one's frames per second and
// speedup = two threads' rate over one thread's.
void RegisterRenderThreads(const FrameSize& size) {
  const std::string name = "render/" + NameOf("NoLogoAuto", size) + "/threads";
  benchmark::RegisterBenchmark(name.c_str(), [size](benchmark::State& state) {
    std::FILE* sink = std::fopen("/dev/null", "wb");
    if (!sink) {
      state.SkipWithError("cannot open /dev/null");
      return;
    }
    FilesFor(size);
    double one = 0, two = 0;
    for (auto _ : state) {
      one += RenderSeconds(size, 1, sink);
      two += RenderSeconds(size, 2, sink);
    }
    std::fclose(sink);
    const double frames = static_cast<double>(kFrames) * static_cast<double>(state.iterations());
    state.counters["fps_1"] = frames / one;
    state.counters["fps_2"] = frames / two;
    state.counters["speedup"] = one / two;
  })->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace pramvix::bench
