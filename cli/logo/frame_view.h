#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace pramvix::cli::logo {

// One 4:2:2 frame as planes: luma width x height, each chroma plane
// width/2 x height. The bytes belong to whoever made the view.
struct FrameView {
  const uint8_t* y = nullptr;
  const uint8_t* u = nullptr;
  const uint8_t* v = nullptr;
  int width = 0;
  int height = 0;

  uint8_t Luma(int col, int row) const { return y[static_cast<size_t>(row) * width + col]; }
  uint8_t ChromaU(int pair, int row) const { return u[static_cast<size_t>(row) * (width / 2) + pair]; }
  uint8_t ChromaV(int pair, int row) const { return v[static_cast<size_t>(row) * (width / 2) + pair]; }

  // The view of a planar Y4M frame (Y, then U, then V).
  static FrameView OfPlanar(const uint8_t* planar, int width, int height) {
    const size_t luma = static_cast<size_t>(width) * height;
    return {planar, planar + luma, planar + luma + luma / 2, width, height};
  }
};

// Rows [top, top + rows) of a frame's luma, one after another, width bytes
// each: a frame in memory hands out its own rows, a file read by parts
// reads each band when asked, into a buffer small enough to stay in the
// nearest caches. Valid until the next call.
using LumaRows = std::function<const uint8_t*(int top, int rows)>;

// A rectangle of pixels.
struct Box {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  int Right() const { return x + width; }    // one past the last column
  int Bottom() const { return y + height; }  // one past the last row
  bool Empty() const { return width <= 0 || height <= 0; }
  bool Contains(const Box& o) const {
    return o.x >= x && o.y >= y && o.Right() <= Right() && o.Bottom() <= Bottom();
  }
};

// `box` grown by `by` pixels on every side and cut to a width x height frame.
inline Box Grow(const Box& box, int by, int width, int height) {
  const int x0 = box.x - by < 0 ? 0 : box.x - by;
  const int y0 = box.y - by < 0 ? 0 : box.y - by;
  const int x1 = box.Right() + by > width ? width : box.Right() + by;
  const int y1 = box.Bottom() + by > height ? height : box.Bottom() + by;
  return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace pramvix::cli::logo
