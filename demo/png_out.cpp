#include "png_out.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace {
unsigned char Clamp255(double v) { return static_cast<unsigned char>(v < 0 ? 0 : (v > 255 ? 255 : v + 0.5)); }
}  // namespace

bool WriteYUY2AsPNG(const pramvix::local::Picture& picture, const std::string& path) {
  const int width = picture.rowSize / 2;
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * picture.height * 3);
  for (int r = 0; r < picture.height; ++r) {
    for (int p = 0; p < width; ++p) {
      const int pair = (p / 2) * 4;
      const double y = 1.164 * (picture.Byte(r, 2 * p) - 16);
      const double u = picture.Byte(r, pair + 1) - 128;
      const double v = picture.Byte(r, pair + 3) - 128;
      unsigned char* out = &rgb[(static_cast<size_t>(r) * width + p) * 3];
      out[0] = Clamp255(y + 1.596 * v);
      out[1] = Clamp255(y - 0.392 * u - 0.813 * v);
      out[2] = Clamp255(y + 2.017 * u);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}
