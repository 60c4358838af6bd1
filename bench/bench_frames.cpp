#include "bench_frames.h"

#include "plugin/function_table.h"

namespace pramvix::bench {

Scene::Scene(int width, int height)
    : main(local::Picture::YUY2(width, height)),
      logo(local::Picture::YUY2(width, height, 16)),
      w(width / 6 / 2 * 2),
      h(height / 8) {
  RegisterFunctions(&env);
  x = width - w - width / 20;
  y = height / 20;
  uint32_t seed = 12345;
  for (auto& byte : main.bytes) byte = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
  for (int r = y; r < y + h; ++r) {
    for (int p = x; p < x + w; ++p) logo.Luma(r, p) = static_cast<uint8_t>(((p - x) / 8 + (r - y) / 8) % 2 ? 140 : 16);
  }
  mainClip = local::MemoryClip::Of({main});
  logoClip = local::MemoryClip::Of({logo});
}

PClip Scene::Filter(const std::string& function, std::vector<AVSValue> args) {
  args.insert(args.begin(), {AVSValue(mainClip), AVSValue(logoClip)});
  return env.Invoke(function, args).AsClip();
}

MutableFrame Scene::RowsOf(local::Picture& picture) {
  return MutableFrame{picture.bytes.data(), picture.rowSize, picture.rowSize, picture.height};
}

ConstFrame Scene::ReadRowsOf(const local::Picture& picture) {
  return ConstFrame{picture.bytes.data(), picture.rowSize, picture.rowSize, picture.height};
}

void RequestFrames(benchmark::State& state, Scene& scene, const PClip& filter) {
  for (auto _ : state) benchmark::DoNotOptimize(filter->GetFrame(0, &scene.env));
}

namespace {
// The baseline: one frame copied as MakeWritable copies it.
void CopyFrame(benchmark::State& state) {
  Scene scene(state);
  for (auto _ : state) {
    PVideoFrame frame = scene.mainClip->GetFrame(0, &scene.env);
    scene.env.MakeWritable(&frame);
    benchmark::DoNotOptimize(frame.get());
  }
}
BENCHMARK(CopyFrame)->Args({720, 576})->Args({1920, 1080});
}  // namespace

}  // namespace pramvix::bench
