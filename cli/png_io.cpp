#include "png_io.h"

#include <png.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "byte_source.h"
#include "cli_error.h"
#include "y4m.h"

namespace pramvix::cli {

namespace {

uint8_t Clamp255(double v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v + 0.5)); }

std::vector<uint8_t> ToRGB(const local::Picture& picture) {
  const int width = picture.rowSize / 2;
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * picture.height * 3);
  // Reference pictures are mostly one colour (black around the logo): a
  // pixel like the one before takes its colour.
  int last = -1;
  uint8_t colour[3] = {};
  for (int r = 0; r < picture.height; ++r) {
    for (int p = 0; p < width; ++p) {
      const int pair = (p / 2) * 4;
      const int luma = picture.Byte(r, 2 * p), cb = picture.Byte(r, pair + 1), cr = picture.Byte(r, pair + 3);
      if (const int key = luma | cb << 8 | cr << 16; key != last) {
        last = key;
        // The inverse of RGBToYUV: luma scaled by 255/219, chroma by 255/224.
        const double y = 1.164383 * (luma - 16);
        const double u = cb - 128;
        const double v = cr - 128;
        colour[0] = Clamp255(y + 1.596027 * v);
        colour[1] = Clamp255(y - 0.391762 * u - 0.812968 * v);
        colour[2] = Clamp255(y + 2.017232 * u);
      }
      std::memcpy(&rgb[(static_cast<size_t>(r) * width + p) * 3], colour, 3);
    }
  }
  return rgb;
}

png_image ImageFor(const local::Picture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.rowSize / 2);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_RGB;
  return image;
}

}  // namespace

void RGBToYUV(int r, int g, int b, uint8_t& y, uint8_t& u, uint8_t& v) {
  y = Clamp255(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255);
  u = Clamp255(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255);
  v = Clamp255(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255);
}

local::Picture DecodePNG(const uint8_t* data, size_t size) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) {
    throw CliError(std::string("not a readable PNG (") + image.message + ")");
  }
  if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
    png_image_free(&image);
    throw CliError("PNG size " + std::to_string(image.width) + "x" + std::to_string(image.height) +
                   " is not between 1 and " + std::to_string(kMaxSide));
  }
  if (image.width % 2 != 0) {
    png_image_free(&image);
    throw CliError("PNG width " + std::to_string(image.width) + " is odd; YUY2 needs an even width");
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  const png_color black{0, 0, 0};
  if (!png_image_finish_read(&image, &black, rgb.data(), 0, nullptr)) {
    throw CliError(std::string("broken PNG (") + image.message + ")");
  }
  const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
  local::Picture picture = local::Picture::YUY2(width, height);
  // A reference picture is mostly one colour (black around the logo): a pair
  // of the same two colours as the pair before takes its bytes, which saves
  // most of the arithmetic on a large picture.
  uint8_t lastRGB[6] = {};
  uint8_t lastYUY2[4] = {};
  bool haveLast = false;
  for (int r = 0; r < height; ++r) {
    for (int p = 0; p < width; p += 2) {
      const uint8_t* a = &rgb[(static_cast<size_t>(r) * width + p) * 3];
      const uint8_t* b = a + 3;
      uint8_t* out = &picture.Byte(r, 2 * p);
      if (haveLast && std::memcmp(a, lastRGB, 6) == 0) {
        std::memcpy(out, lastYUY2, 4);
        continue;
      }
      uint8_t unusedU, unusedV;
      RGBToYUV(a[0], a[1], a[2], out[0], unusedU, unusedV);
      RGBToYUV(b[0], b[1], b[2], out[2], unusedU, unusedV);
      // Chroma of the pair: the pair's mean colour, kept at double precision.
      const int sumR = a[0] + b[0], sumG = a[1] + b[1], sumB = a[2] + b[2];
      out[1] = Clamp255(128 + (-37.797 * sumR - 74.203 * sumG + 112.0 * sumB) / 510);
      out[3] = Clamp255(128 + (112.0 * sumR - 93.786 * sumG - 18.214 * sumB) / 510);
      std::memcpy(lastRGB, a, 6);
      std::memcpy(lastYUY2, out, 4);
      haveLast = true;
    }
  }
  return picture;
}

local::Picture ReadPNG(ByteSource& source, const std::string& name) {
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> chunk(65536);
  for (size_t got; (got = source.Read(chunk.data(), chunk.size())) > 0;) {
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
  }
  try {
    return DecodePNG(bytes.data(), bytes.size());
  } catch (const CliError& e) {
    throw CliError(name + ": " + e.what());
  }
}

local::Picture ReadPNGFile(const std::string& path) {
  auto source = OpenSource(path);
  return ReadPNG(*source, path == "-" ? std::string("standard input") : path);
}

bool WriteYUY2AsPNG(const local::Picture& picture, const std::string& path) {
  const std::vector<uint8_t> rgb = ToRGB(picture);
  png_image image = ImageFor(picture);
  return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

bool WriteYUY2AsPNG(const local::Picture& picture, std::FILE* out) {
  const std::vector<uint8_t> rgb = ToRGB(picture);
  png_image image = ImageFor(picture);
  return png_image_write_to_stdio(&image, out, 0, rgb.data(), 0, nullptr) != 0;
}

bool WriteRGBPNG(const uint8_t* rgb, int width, int height, const std::string& path) {
  if (width <= 0 || height <= 0) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, rgb, 0, nullptr) != 0;
}

}  // namespace pramvix::cli
