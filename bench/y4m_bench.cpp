// The command's conversions between Y4M planes and YUY2 frames, one frame of
// the logo scene each, and a read of a 4:2:0 file, beside the frame copy of
// the same size.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_frames.h"
#include "y4m.h"
#include "y4m_clip.h"

namespace pramvix::bench {

namespace {

constexpr int kFileFrames = 8;  // more than the clip keeps, so every request reads

// A 4:2:0 Y4M file of the scene's main picture, removed at exit.
std::string File420(const FrameSize& size) {
  static std::vector<std::string> made;
  const local::Picture& picture = LogoScene(size).main;
  const std::string path = "/tmp/pramvix_bench_" + std::to_string(getpid()) + "_" + size.label + "_420.y4m";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) throw std::runtime_error(path + ": cannot write");
  cli::Y4MFormat format;
  format.width = picture.rowSize / 2;
  format.height = picture.height;
  format.chroma = cli::Y4MChroma::k420;
  format.chromaTag = "420jpeg";
  {
    cli::Y4MWriter writer(out, path, format);
    for (int i = 0; i < kFileFrames; ++i) writer.WriteFrame(picture.bytes.data(), picture.rowSize);
  }
  std::fclose(out);
  if (made.empty()) {
    std::atexit([] {
      for (const std::string& file : made) std::remove(file.c_str());
    });
  }
  made.push_back(path);
  return path;
}

}  // namespace

void RegisterY4M(const FrameSize& size) {
  // As y4m-read/<size>, from a 4:2:0 file: a quarter fewer bytes read, and
  // each chroma row copied to the two rows it serves.
  benchmark::RegisterBenchmark(NameOf("y4m-read420", size).c_str(), [size](benchmark::State& state) {
    const PClip clip = cli::OpenClip(File420(size));
    Scene& scene = LogoScene(size);
    int n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(clip->GetFrame(n++ % kFileFrames, &scene.env));
    state.SetItemsProcessed(state.iterations());
  })->Unit(benchmark::kMicrosecond);

  // Planar 4:2:2, as the reader hands a frame out, to the clip's YUY2 frame.
  benchmark::RegisterBenchmark(NameOf("y4m-to-yuy2", size).c_str(), [size](benchmark::State& state) {
    const local::Picture& picture = LogoScene(size).main;
    const int width = picture.rowSize / 2;
    std::vector<uint8_t> planar(picture.bytes.size()), packed(picture.bytes.size());
    cli::YUY2ToPlanar(picture.bytes.data(), picture.rowSize, width, picture.height, planar.data());
    for (auto _ : state) {
      cli::PlanarToYUY2(planar.data(), width, picture.height, packed.data(), picture.rowSize);
      benchmark::DoNotOptimize(packed.data());
    }
  })->Unit(benchmark::kMicrosecond);

  // The writer's packing of a YUY2 frame into 4:2:2 and 4:2:0 planes.
  for (const bool is420 : {false, true}) {
    benchmark::RegisterBenchmark(NameOf(is420 ? "yuy2-to-y4m420" : "yuy2-to-y4m", size).c_str(),
                                 [size, is420](benchmark::State& state) {
      const local::Picture& picture = LogoScene(size).main;
      const int width = picture.rowSize / 2;
      std::vector<uint8_t> planar(picture.bytes.size());
      for (auto _ : state) {
        if (is420) {
          cli::YUY2ToPlanar420(picture.bytes.data(), picture.rowSize, width, picture.height, planar.data());
        } else {
          cli::YUY2ToPlanar(picture.bytes.data(), picture.rowSize, width, picture.height, planar.data());
        }
        benchmark::DoNotOptimize(planar.data());
      }
    })->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace pramvix::bench
