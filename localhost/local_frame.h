#pragma once
#include <cstdint>
#include <cstddef>
#include <cstring>
#include <memory>

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

  // How the picture bytes start: zero, or left for a copy that fills them all
  // (so copying a frame costs what a host's copy costs).
  enum class Start { kZero, kFilledByCaller };

  // pitch must be at least rowSize.
  LocalFrame(int rowSize, int height, int pitch, Start start = Start::kZero);
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
  // Picture buffers of frames gone, kept for new frames of the same size, as
  // a host reuses its frames' memory: memory handed back to the system comes
  // back cleared page by page, which costs more than the frame's own work.
  // At most kPooledBuffers are kept, of kPooledBytes together; none under
  // AddressSanitizer, so that a frame used after its end still traps.
  static constexpr size_t kPooledBuffers = 16;
  static constexpr size_t kPooledBytes = size_t{128} << 20;
  static size_t Pooled();
  static size_t PooledBytes();

 private:
  void Poison(bool on) const;

  int rowSize_;
  int height_;
  int pitch_;
  size_t size_;  // guards included
  std::unique_ptr<uint8_t[]> buffer_;
  uint8_t* data_;
};

}  // namespace pramvix::local
