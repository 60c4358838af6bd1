// The command's render path (Y4M file in, NoLogoAuto, Y4M out) on one thread
// and on two, timed by the wall clock in the same run: frames per second of
// each and their ratio.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>

#include "bench_frames.h"
#include "render.h"
#include "shared_clips.h"
#include "y4m.h"
#include "y4m_clip.h"

namespace pramvix::bench {

namespace {

constexpr int kFrames = 24;  // many more than the clips keep: every frame is read
constexpr int kLogoPercent = 50;

std::string WriteY4M(const std::string& path, const local::Picture& picture, int frames) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) throw std::runtime_error(path + ": cannot write");
  cli::Y4MFormat format;
  format.width = picture.rowSize / 2;
  format.height = picture.height;
  {
    cli::Y4MWriter writer(out, path, format);
    for (int i = 0; i < frames; ++i) writer.WriteFrame(picture.bytes.data(), picture.rowSize);
  }
  std::fclose(out);
  return path;
}

struct Files {
  std::string clip, logo;
};

const Files& FilesFor(const FrameSize& size) {
  static std::map<std::string, Files> files;
  auto found = files.find(size.label);
  if (found != files.end()) return found->second;
  const Scene& scene = AutoScene(size, kLogoPercent);
  const std::string stem = "/tmp/pramvix_render_bench_" + std::to_string(getpid()) + "_" + size.label;
  Files made{WriteY4M(stem + ".y4m", scene.main, kFrames), WriteY4M(stem + "_logo.y4m", scene.reference, 1)};
  std::atexit([] {
    for (const auto& entry : files) {
      std::remove(entry.second.clip.c_str());
      std::remove(entry.second.logo.c_str());
    }
  });
  return files.emplace(size.label, made).first->second;
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
