#pragma once
// The row pass's vector variants (x86-64 only), each byte for byte the same
// as RemoveLogoRow.
#include "removal/logo_removal.h"

namespace pramvix {

void RemoveLogoRowSse2(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule);
void RemoveLogoRowAvx2(MutableLumaRow main, ConstLumaRow reference, int x, int width, const RemovalRule& rule);

}  // namespace pramvix
