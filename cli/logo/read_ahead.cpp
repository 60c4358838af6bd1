#include "read_ahead.h"

#include <algorithm>
#include <utility>

namespace pramvix::cli::logo {

ReadAhead::ReadAhead(FrameSampler& sampler, Prepare prepare, int depth)
    : sampler_(sampler), prepare_(std::move(prepare)), width_(sampler.Width()), height_(sampler.Height()),
      free_(static_cast<size_t>(std::max(1, depth))) {
  thread_ = std::thread([this] { Read(); });
}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ReadAhead::Read() {
  for (;;) {
    Slot slot;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return stop_ || !free_.empty(); });
      if (stop_) break;
      slot = std::move(free_.back());
      free_.pop_back();
    }
    try {
      if (!sampler_.Next()) break;
      sampler_.SwapFrame(slot.bytes);  // the sampler reads the next frame into the old buffer
      slot.number = sampler_.Number();
      slot.taken = sampler_.Taken();
      slot.isPrepared = false;
      slot.chromaTop = 0, slot.chromaBottom = sampler_.ByParts() ? 0 : height_;
      if (prepare_) {
        bool behind;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          behind = !ready_.empty();
        }
        if (behind) {
          prepare_(FrameView::OfPlanar(slot.bytes.data(), width_, height_), slot.prepared);
          slot.isPrepared = true;
        }
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex_);
      error_ = std::current_exception();
      break;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ready_.push_back(std::move(slot));
    }
    changed_.notify_all();
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
  }
  changed_.notify_all();
}

void ReadAhead::ReadChroma(int top, int bottom) {
  Slot& s = current_;
  top = std::max(0, top), bottom = std::min(height_, bottom);
  if (top >= bottom || (top >= s.chromaTop && bottom <= s.chromaBottom)) return;
  sampler_.ReadChroma(s.number, top, bottom, kept_ ? kept_->data() : s.bytes.data());
  if (s.chromaTop >= s.chromaBottom || bottom < s.chromaTop || top > s.chromaBottom) {
    s.chromaTop = top, s.chromaBottom = bottom;
  } else {
    s.chromaTop = std::min(s.chromaTop, top), s.chromaBottom = std::max(s.chromaBottom, bottom);
  }
}

void ReadAhead::Keep(std::vector<uint8_t>& keep) {
  if (kept_ == &keep) return;
  ReadChroma(0, height_);
  if (kept_) {
    keep = *kept_;
    return;
  }
  current_.bytes.swap(keep);
  kept_ = &keep;
}

bool ReadAhead::Next() {
  kept_ = nullptr;
  std::unique_lock<std::mutex> lock(mutex_);
  if (current_.number >= 0) {
    free_.push_back(std::move(current_));
    current_ = Slot{};
    lock.unlock();
    changed_.notify_all();
    lock.lock();
  }
  changed_.wait(lock, [&] { return !ready_.empty() || done_; });
  if (ready_.empty()) {
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    return false;
  }
  current_ = std::move(ready_.front());
  ready_.pop_front();
  taken_ = current_.taken;
  lock.unlock();
  if (prepare_ && !current_.isPrepared) prepare_(Frame(), current_.prepared);
  return true;
}

}  // namespace pramvix::cli::logo
