#pragma once
// The logo search's per-pixel work: a plain variant and, on x86-64, SSE2 and
// AVX2 ones that give the same bytes and sums.
#include <cstdint>

#include "base/simd.h"

namespace pramvix::cli::logo {

// out[c] = rounded mean of top[2c], top[2c+1], bottom[2c], bottom[2c+1], for
// c < count: a row of cells of 2x2 pixels.
using CellRowKernel = void (*)(const uint8_t* top, const uint8_t* bottom, int count, uint8_t* out);
CellRowKernel CellRowFor(Simd simd);

// The most frames one call of a StepSumKernel may take: their sums of steps
// are kept in 16 bits before they join the 32-bit sums.
constexpr int kMaxStepFrames = 16;

// A cell's step shows in a frame when |gx| + |gy| reaches this: well above
// what the noise of a recording gives a cell of 2x2 pixels.
constexpr int kShownStep = 6;

// For `frames` frames (at most kMaxStepFrames), each a row of `width` cells
// rows[k] with the rows above and below it at rows[k] -+ width, and the
// frame's block mean luma means[k][c] per cell: adds each cell's steps
// gx = right - left and gy = below - above, gx·m, gy·m, gx² + gy² and
// whether the step shows (1 or 0) into the six sum rows, for the cells
// 1..width-2.
using StepSumKernel = void (*)(const uint8_t* const* rows, const int16_t* const* means, int frames, int width,
                               int32_t* sx, int32_t* sxm, int32_t* sy, int32_t* sym, int32_t* squares, int32_t* shown);
StepSumKernel StepSumFor(Simd simd);

}  // namespace pramvix::cli::logo
