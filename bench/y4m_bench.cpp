// The command's conversions between Y4M planes and YUY2 frames, one frame of
// the logo scene each, beside the frame copy of the same size.
#include <vector>

#include "bench_frames.h"
#include "y4m.h"

namespace pramvix::bench {

void RegisterY4M(const FrameSize& size) {
  // Planar 4:2:2, as the reader hands a frame out, to the clip's YUY2 frame.
  benchmark::RegisterBenchmark(NameOf("y4m-unpack", size).c_str(), [size](benchmark::State& state) {
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
    benchmark::RegisterBenchmark(NameOf(is420 ? "y4m-pack420" : "y4m-pack", size).c_str(),
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
