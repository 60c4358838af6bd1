#include "picture.h"

#include <cstring>

#include "local_frame.h"

namespace pramvix::local {

Picture Picture::YUY2(int width, int height, uint8_t luma, uint8_t chroma) {
  Picture picture{2 * width, height, std::vector<uint8_t>(static_cast<size_t>(2 * width) * height, chroma)};
  for (size_t j = 0; j < picture.bytes.size(); j += 2) picture.bytes[j] = luma;
  return picture;
}

void Picture::SetLumaRow(int row, int p, const std::vector<int>& values) {
  for (size_t i = 0; i < values.size(); ++i) Luma(row, p + static_cast<int>(i)) = static_cast<uint8_t>(values[i]);
}

std::vector<int> Picture::LumaRow(int row) const {
  std::vector<int> values;
  for (int p = 0; p < rowSize / 2; ++p) values.push_back(Luma(row, p));
  return values;
}

PVideoFrame FrameOf(const Picture& picture, int pitchPadding) {
  auto* frame = new LocalFrame(picture.rowSize, picture.height, picture.rowSize + pitchPadding);
  for (int r = 0; r < picture.height; ++r) {
    if (picture.rowSize > 0) {
      std::memcpy(frame->Bytes() + static_cast<size_t>(r) * frame->GetPitch(),
                  picture.bytes.data() + static_cast<size_t>(r) * picture.rowSize, picture.rowSize);
    }
  }
  return PVideoFrame(frame);
}

Picture PictureOf(const PVideoFrame& frame) {
  Picture picture{frame->GetRowSize(), frame->GetHeight(), {}};
  picture.bytes.resize(static_cast<size_t>(picture.rowSize) * picture.height);
  for (int r = 0; r < picture.height; ++r) {
    if (picture.rowSize > 0) {
      std::memcpy(picture.bytes.data() + static_cast<size_t>(r) * picture.rowSize,
                  frame->GetReadPtr() + static_cast<size_t>(r) * frame->GetPitch(), picture.rowSize);
    }
  }
  return picture;
}

}  // namespace pramvix::local
