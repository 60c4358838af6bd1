#pragma once
// AddLogo's blend in vector variants (x86-64 only), each byte for byte the
// same as BlendRow.
#include <cstdint>

namespace pramvix {

void BlendRowSse2(uint8_t* main, const uint8_t* logo, int width, int threshold);
void BlendRowAvx2(uint8_t* main, const uint8_t* logo, int width, int threshold);

}  // namespace pramvix
