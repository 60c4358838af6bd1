#pragma once
#include <cstdint>

namespace pramvix::cli {

// One row of packed YUY2 (Y0 U Y1 V per pixel pair) to and from the rows of
// planes, `pairs` pixel pairs long. Every output byte is a plain copy of an
// input byte, or for ChromaMeanOfRows the mean of two rounded up; nothing is
// read or written beyond the pairs given.

// Planes to packed: out[4i..4i+3] = y[2i], u[i], y[2i+1], v[i].
void PackRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, int pairs, uint8_t* out);
// The luma of a packed row (2 × pairs bytes).
void LumaOfRow(const uint8_t* in, int pairs, uint8_t* y);
// The chroma of a packed row.
void ChromaOfRow(const uint8_t* in, int pairs, uint8_t* u, uint8_t* v);
// The chroma two packed rows share in 4:2:0: (top + bottom + 1) / 2.
void ChromaMeanOfRows(const uint8_t* top, const uint8_t* bottom, int pairs, uint8_t* u, uint8_t* v);

}  // namespace pramvix::cli
