#pragma once
// What the benchmark files share: the frame-copy baseline, full frame requests
// through the local host, and kernels run once per instruction set.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

#include "base/simd.h"
#include "host/host.h"
#include "scenes.h"

namespace pramvix::bench {

// "NoLogo/1080p" and the like.
std::string NameOf(const char* function, const FrameSize& size);

// copy/<size>: one frame copied as MakeWritable copies it. Every other time
// is read as a multiple of this one.
void RegisterCopy(const FrameSize& size);

using SceneOf = std::function<Scene&()>;

// <name>: the filter that script function `function` builds over the scene's
// clips (`args`, clips included), asked for a frame again and again.
using ArgsOf = std::function<std::vector<AVSValue>(const Scene&)>;
void RegisterFrame(const std::string& name, SceneOf scene, const char* function, ArgsOf args);

// <name>/kernel with BestSimd(), and <name>/kernel/<set> for every set in
// SupportedSimd().
using KernelRun = std::function<void(benchmark::State&, Simd)>;
void RegisterKernel(const std::string& name, KernelRun run);

// Each filter family, at one frame size.
void RegisterRemoval(const FrameSize& size);
void RegisterOverlay(const FrameSize& size);
void RegisterDetect(const FrameSize& size);
void RegisterAuto(const FrameSize& size);
// The command's scan beside a plain Y4M read, and removal gated by detection.
void RegisterScan(const FrameSize& size);
// logo/read/<size> and logo/analysis/<size>: the logo command's analysis of a file
// against a plain read of the same frames, in frames per second.
void RegisterLogoAnalysis(const FrameSize& size);
// render/NoLogoAuto/<size>/threads: the command's render path on one thread
// and on two, in frames per second, and their ratio.
void RegisterRenderThreads(const FrameSize& size);
// y4m-read420/<size>, y4m-to-yuy2/<size>, yuy2-to-y4m/<size>,
// yuy2-to-y4m420/<size>: a read of a 4:2:0 file, and the command's
// conversions between Y4M planes and one YUY2 frame.
void RegisterY4M(const FrameSize& size);

}  // namespace pramvix::bench
