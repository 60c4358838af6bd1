#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "byte_source.h"
#include "picture.h"

namespace pramvix::cli {

// PNG pictures and YUY2, converted with BT.601 in limited range (luma 16-235,
// chroma 16-240); each pixel pair's chroma comes from the mean of the pair.

// Decodes a PNG held in memory to a YUY2 picture. Transparent pixels are
// composed over black (the reference picture is the logo over black). Throws
// CliError for anything that is not a PNG of even width up to kMaxSide.
local::Picture DecodePNG(const uint8_t* data, size_t size);
// Reads a PNG file ("-" for standard input), or the rest of a source, whole;
// errors name the input.
local::Picture ReadPNGFile(const std::string& path);
local::Picture ReadPNG(ByteSource& source, const std::string& name);

// Writes a YUY2 picture as an RGB PNG. False when it cannot be written.
bool WriteYUY2AsPNG(const local::Picture& picture, const std::string& path);
bool WriteYUY2AsPNG(const local::Picture& picture, std::FILE* out);

// Writes packed 8-bit RGB (rows of 3·width bytes) as a PNG. False when it
// cannot be written.
bool WriteRGBPNG(const uint8_t* rgb, int width, int height, const std::string& path);

// One pixel's conversions, exposed for tests.
void RGBToYUV(int r, int g, int b, uint8_t& y, uint8_t& u, uint8_t& v);

}  // namespace pramvix::cli
