#include "local_frame.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

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

using Buffer = std::unique_ptr<uint8_t[]>;

class BufferPool {
 public:
  Buffer Take(size_t size) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const auto same = std::find_if(free_.rbegin(), free_.rend(), [size](const auto& b) { return b.first == size; });
      if (same != free_.rend()) {
        Buffer buffer = std::move(same->second);
        bytes_ -= same->first;
        free_.erase(std::next(same).base());
        return buffer;
      }
    }
    return Buffer(new uint8_t[size]);
  }
  void Give(size_t size, Buffer buffer) {
#if defined(__SANITIZE_ADDRESS__)
    (void)size;
    buffer.reset();
#else
    std::lock_guard<std::mutex> lock(mutex_);
    if (size > LocalFrame::kPooledBytes) return;
    // The oldest go first.
    while (!free_.empty() && (free_.size() >= LocalFrame::kPooledBuffers || bytes_ + size > LocalFrame::kPooledBytes)) {
      bytes_ -= free_.front().first;
      free_.erase(free_.begin());
    }
    bytes_ += size;
    free_.emplace_back(size, std::move(buffer));
#endif
  }
  size_t Size() {
    std::lock_guard<std::mutex> lock(mutex_);
    return free_.size();
  }
  size_t Bytes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<size_t, Buffer>> free_;  // most recently given last
  size_t bytes_ = 0;                              // their sizes' sum
};

// Never destroyed: frames may end after static destructors have run.
BufferPool& Pool() {
  static auto* pool = new BufferPool;
  return *pool;
}

}  // namespace

LocalFrame::LocalFrame(int rowSize, int height, int pitch, Start start)
    : rowSize_(rowSize),
      height_(height),
      pitch_(pitch),
      size_(PictureBytes(pitch, height) + 2 * kGuardBytes),
      buffer_(Pool().Take(size_)),
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
  Pool().Give(size_, std::move(buffer_));
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

size_t LocalFrame::Pooled() { return Pool().Size(); }

size_t LocalFrame::PooledBytes() { return Pool().Bytes(); }

}  // namespace pramvix::local
