#pragma once
#include <cstdint>
#include <vector>

#include "host/host.h"

namespace pramvix::local {

// A picture as plain bytes, rows packed without padding: for building frames
// and reading them back. For YUY2 a row is 2·width bytes, Y0 U Y1 V per pair.
struct Picture {
  int rowSize = 0;
  int height = 0;
  std::vector<uint8_t> bytes;

  static Picture YUY2(int width, int height, uint8_t luma = 16, uint8_t chroma = 128);

  uint8_t& Byte(int row, int j) { return bytes[static_cast<size_t>(row) * rowSize + j]; }
  uint8_t Byte(int row, int j) const { return bytes[static_cast<size_t>(row) * rowSize + j]; }
  uint8_t& Luma(int row, int p) { return Byte(row, 2 * p); }
  uint8_t Luma(int row, int p) const { return Byte(row, 2 * p); }
  // Sets the luma of pixels p, p+1, … of a row.
  void SetLumaRow(int row, int p, const std::vector<int>& values);
  std::vector<int> LumaRow(int row) const;

  bool operator==(const Picture& other) const {
    return rowSize == other.rowSize && height == other.height && bytes == other.bytes;
  }
  bool operator!=(const Picture& other) const { return !(*this == other); }
};

// A frame holding the picture, each row `pitchPadding` bytes longer than its data.
PVideoFrame FrameOf(const Picture& picture, int pitchPadding = 0);
// The picture bytes of a frame, padding left out.
Picture PictureOf(const PVideoFrame& frame);

}  // namespace pramvix::local
