#pragma once
// NoLogoAuto's row pass in vector form (x86-64 only), each byte for byte the
// same as RemoveLogoAutoRow.
#include "removal/auto_removal.h"

namespace pramvix {

void RemoveLogoAutoRowSse2(MutableLumaRow main, ConstLumaRow source, ConstLumaRow reference, LogoPixels pixels);
void RemoveLogoAutoRowAvx2(MutableLumaRow main, ConstLumaRow source, ConstLumaRow reference, LogoPixels pixels);
void RemoveLogoAutoRowAvx512(MutableLumaRow main, ConstLumaRow source, ConstLumaRow reference, LogoPixels pixels);

}  // namespace pramvix
