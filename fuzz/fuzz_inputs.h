#pragma once
// Turning a fuzzer's bytes into script arguments: clips of any geometry, pitch
// and pixel type, and integers and floats that favour the awkward values.
#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

#include "host/host.h"
#include "picture.h"

namespace pramvix::fuzz {

int FuzzInt(FuzzedDataProvider& in);
float FuzzFloat(FuzzedDataProvider& in);

// A clip of 1…3 frames, rows of 0…24 bytes (odd sizes too), 0…7 rows, rows
// padded by 0…40 bytes, usually YUY2; often of the same shape as `like`, when
// given. Its pictures go to `pictures` so the caller can see afterwards that
// nothing wrote into them.
PClip FuzzClip(FuzzedDataProvider& in, std::vector<local::Picture>& pictures, const PClip& like = PClip());

}  // namespace pramvix::fuzz
