#pragma once
#include <cstdint>
#include <vector>

#include "host/host.h"

namespace pramvix::local {

// A frame of the local host. Guard bytes surround the rows and the padding at
// the end of each row (pitch beyond row size) holds a fixed pattern, so a
// stray write anywhere outside the picture shows in Intact(). Under
// AddressSanitizer guards and padding are also poisoned, so a stray read traps.
class LocalFrame final : public VideoFrame {
 public:
  static constexpr int kGuardBytes = 64;
  static constexpr uint8_t kGuardValue = 0xE7;
  static constexpr uint8_t kPaddingValue = 0x5A;

  // pitch must be at least rowSize.
  LocalFrame(int rowSize, int height, int pitch);
  ~LocalFrame() override;

  const uint8_t* GetReadPtr() const override { return data_; }
  uint8_t* GetWritePtr() override { return IsWritable() ? data_ : nullptr; }
  int GetPitch() const override { return pitch_; }
  int GetRowSize() const override { return rowSize_; }
  int GetHeight() const override { return height_; }

  // Writes the picture bytes whatever the count: for building frames.
  uint8_t* Bytes() { return data_; }
  // True when no guard or padding byte has changed.
  bool Intact() const;

  static int Live();  // frames alive now

 private:
  void Poison(bool on) const;

  int rowSize_;
  int height_;
  int pitch_;
  std::vector<uint8_t> buffer_;
  uint8_t* data_;
};

}  // namespace pramvix::local
