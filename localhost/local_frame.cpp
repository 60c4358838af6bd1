#include "local_frame.h"

#include <atomic>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define PRAMVIX_POISON(addr, size) ASAN_POISON_MEMORY_REGION(addr, size)
#define PRAMVIX_UNPOISON(addr, size) ASAN_UNPOISON_MEMORY_REGION(addr, size)
#else
#define PRAMVIX_POISON(addr, size) ((void)(addr), (void)(size))
#define PRAMVIX_UNPOISON(addr, size) ((void)(addr), (void)(size))
#endif

namespace pramvix::local {

namespace {
std::atomic<int> gLiveFrames{0};

size_t PictureBytes(int pitch, int height) {
  return static_cast<size_t>(pitch) * static_cast<size_t>(height > 0 ? height : 0);
}
}  // namespace

LocalFrame::LocalFrame(int rowSize, int height, int pitch, Start start)
    : rowSize_(rowSize),
      height_(height),
      pitch_(pitch),
      size_(PictureBytes(pitch, height) + 2 * kGuardBytes),
      buffer_(new uint8_t[size_]),
      data_(buffer_.get() + kGuardBytes) {
  std::memset(buffer_.get(), kGuardValue, kGuardBytes);
  std::memset(data_ + PictureBytes(pitch, height), kGuardValue, kGuardBytes);
  for (int r = 0; r < height_; ++r) {
    uint8_t* row = data_ + static_cast<size_t>(r) * pitch_;
    if (start == Start::kZero) std::memset(row, 0, static_cast<size_t>(rowSize_));
    std::memset(row + rowSize_, kPaddingValue, static_cast<size_t>(pitch_ - rowSize_));
  }
  Poison(true);
  gLiveFrames.fetch_add(1);
}

LocalFrame::~LocalFrame() {
  Poison(false);
  gLiveFrames.fetch_sub(1);
}

void LocalFrame::Poison(bool on) const {
  const uint8_t* base = buffer_.get();
  auto mark = [on](const uint8_t* p, size_t n) {
    if (n == 0) return;
    if (on) {
      PRAMVIX_POISON(p, n);
    } else {
      PRAMVIX_UNPOISON(p, n);
    }
  };
  mark(base, kGuardBytes);
  mark(data_ + PictureBytes(pitch_, height_), kGuardBytes);
  for (int r = 0; r < height_; ++r) mark(data_ + static_cast<size_t>(r) * pitch_ + rowSize_, pitch_ - rowSize_);
}

bool LocalFrame::Intact() const {
  Poison(false);
  bool intact = true;
  for (int i = 0; i < kGuardBytes; ++i) {
    intact = intact && buffer_[i] == kGuardValue && buffer_[size_ - 1 - i] == kGuardValue;
  }
  for (int r = 0; r < height_; ++r) {
    const uint8_t* row = data_ + static_cast<size_t>(r) * pitch_;
    for (int j = rowSize_; j < pitch_; ++j) intact = intact && row[j] == kPaddingValue;
  }
  Poison(true);
  return intact;
}

int LocalFrame::Live() { return gLiveFrames.load(); }

}  // namespace pramvix::local
