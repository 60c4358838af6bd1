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
      if (sampler_.ByParts()) {
        if (!slot.parts) slot.parts.reset(new uint8_t[static_cast<size_t>(width_) * height_ * 2]);
        slot.rowsTop = slot.rowsBottom = 0;
      } else {
        sampler_.SwapFrame(slot.bytes);  // the sampler reads the next frame into the old buffer
      }
      slot.number = sampler_.Number();
      slot.taken = sampler_.Taken();
      slot.isPrepared = false;
      if (prepare_) {
        bool behind;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          behind = !ready_.empty();
        }
        if (behind) PrepareIn(slot, readBand_);
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

LumaRows ReadAhead::RowsOf(const Slot& slot, std::vector<uint8_t>& band) const {
  if (!slot.parts) return [this, &slot](int top, int) { return slot.bytes.data() + static_cast<size_t>(top) * width_; };
  return [this, &slot, &band](int top, int rows) {
    band.resize(static_cast<size_t>(rows) * width_);
    sampler_.ReadLuma(slot.number, top, rows, band.data());
    return band.data();
  };
}

void ReadAhead::PrepareIn(Slot& slot, std::vector<uint8_t>& band) {
  prepare_(RowsOf(slot, band), slot.prepared);
  slot.isPrepared = true;
}

void ReadAhead::ReadRows(int top, int bottom) {
  Slot& s = current_;
  top = std::max(0, top), bottom = std::min(height_, bottom);
  if (!s.parts || top >= bottom || (top >= s.rowsTop && bottom <= s.rowsBottom)) return;
  sampler_.ReadRows(s.number, top, bottom, s.parts.get());
  if (s.rowsTop >= s.rowsBottom || bottom < s.rowsTop || top > s.rowsBottom) {
    s.rowsTop = top, s.rowsBottom = bottom;
  } else {
    s.rowsTop = std::min(s.rowsTop, top), s.rowsBottom = std::max(s.rowsBottom, bottom);
  }
}

void ReadAhead::Keep(std::vector<uint8_t>& keep) {
  if (kept_ == &keep) return;
  if (kept_) {
    keep = *kept_;
    return;
  }
  if (current_.parts) {
    ReadRows(0, height_);
    keep.assign(current_.parts.get(), current_.parts.get() + static_cast<size_t>(width_) * height_ * 2);
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
  if (prepare_ && !current_.isPrepared) PrepareIn(current_, takeBand_);
  return true;
}

}  // namespace pramvix::cli::logo
