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

LocalFrame::LocalFrame(int rowSize, int height, int pitch)
    : rowSize_(rowSize),
      height_(height),
      pitch_(pitch),
      buffer_(PictureBytes(pitch, height) + 2 * kGuardBytes, kGuardValue),
      data_(buffer_.data() + kGuardBytes) {
  for (int r = 0; r < height_; ++r) {
    uint8_t* row = data_ + static_cast<size_t>(r) * pitch_;
    for (int j = 0; j < pitch_; ++j) row[j] = j < rowSize_ ? 0 : kPaddingValue;
  }
  Poison(true);
  gLiveFrames.fetch_add(1);
}

LocalFrame::~LocalFrame() {
  Poison(false);
  gLiveFrames.fetch_sub(1);
}

void LocalFrame::Poison(bool on) const {
  const uint8_t* base = buffer_.data();
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
    intact = intact && buffer_[i] == kGuardValue && buffer_[buffer_.size() - 1 - i] == kGuardValue;
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
