#pragma once
#include <cstddef>
#include <cstdint>

namespace pramvix {

// Rows of a YUY2 frame. Each pixel pair is four bytes Y0 U Y1 V, so the luma of
// pixel p is byte 2p of its row and every odd byte is chroma. Rows are
// addressed with this frame's own pitch, never another frame's.
template <class Byte>
struct FrameRows {
  Byte* data = nullptr;
  int pitch = 0;
  int rowSize = 0;  // bytes of picture data per row
  int height = 0;

  int Width() const { return rowSize / 2; }  // pixels
  Byte* Row(int r) const { return data + static_cast<ptrdiff_t>(r) * pitch; }
};

using ConstFrame = FrameRows<const uint8_t>;
using MutableFrame = FrameRows<uint8_t>;

// The luma samples of one row. Neighbours that fall outside the row are held
// inside it: they read the nearest pixel of the same row.
template <class Byte>
class LumaRow {
 public:
  LumaRow(Byte* row, int width) : row_(row), width_(width) {}

  int Width() const { return width_; }
  bool Contains(int p) const { return p >= 0 && p < width_; }
  // Pixel p, which must lie inside the row.
  Byte& operator[](int p) const { return row_[2 * static_cast<ptrdiff_t>(p)]; }
  // Pixel p held inside the row.
  int Held(int p) const { return row_[2 * static_cast<ptrdiff_t>(p < 0 ? 0 : (p >= width_ ? width_ - 1 : p))]; }

 private:
  Byte* row_;
  int width_;
};

using ConstLumaRow = LumaRow<const uint8_t>;
using MutableLumaRow = LumaRow<uint8_t>;

template <class Byte>
LumaRow<Byte> LumaOf(const FrameRows<Byte>& frame, int r) {
  return LumaRow<Byte>(frame.Row(r), frame.Width());
}

}  // namespace pramvix
