#include "read_ahead.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace pramvix::cli::logo {

ReadAhead::ReadAhead(FrameSampler& sampler, Prepare prepare, int depth)
    : sampler_(sampler), prepare_(std::move(prepare)), prepares_(prepare_ || sampler.ByParts()), width_(sampler.Width()), height_(sampler.Height()),
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
  std::unique_lock<std::mutex> lock(mutex_);
  bool ended = false;
  for (;;) {
    Slot* waiting = nullptr;
    changed_.wait(lock, [&] { return stop_ || (!ended && !free_.empty()) || (prepares_ && (waiting = Unprepared())); });
    if (stop_) break;
    if (!ended && !free_.empty()) {
      Slot slot = std::move(free_.back());
      free_.pop_back();
      lock.unlock();
      std::exception_ptr error;
      try {
        ended = !ReadInto(slot);
      } catch (...) {
        error = std::current_exception();
        ended = true;
      }
      lock.lock();
      if (ended) {
        error_ = error;
        done_ = true;  // no more frames; those waiting may still be prepared here
      } else {
        ready_.push_back(std::move(slot));
      }
    } else {
      waiting->taken = true;
      lock.unlock();
      PrepareIn(*waiting, readBand_);  // the slot stays put: Next waits for a frame being prepared
      lock.lock();
    }
    changed_.notify_all();
  }
  done_ = true;
}

bool ReadAhead::ReadInto(Slot& slot) {
  if (!sampler_.Next()) return false;
  if (sampler_.ByParts()) {
    if (!slot.parts) slot.parts.reset(new uint8_t[static_cast<size_t>(width_) * height_ * 2]);
    slot.rowsTop = slot.rowsBottom = 0;
  } else {
    sampler_.SwapFrame(slot.bytes);  // the sampler reads the next frame into the old buffer
  }
  slot.number = sampler_.Number();
  slot.order = sampler_.Taken();
  slot.isPrepared = slot.taken = false;
  slot.error = nullptr;
  return true;
}

ReadAhead::Slot* ReadAhead::Unprepared() {
  for (auto it = ready_.rbegin(); it != ready_.rend(); ++it) {
    if (!it->isPrepared && !it->taken) return &*it;
  }
  return nullptr;
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
  std::exception_ptr error;
  try {
    if (prepare_) prepare_(RowsOf(slot, band), slot.prepared);
    const int top = std::max(0, expectTop_.load()), bottom = std::min(height_, expectBottom_.load());
    if (slot.parts && top < bottom) {
      sampler_.ReadRows(slot.number, top, bottom, slot.parts.get());
      slot.rowsTop = top, slot.rowsBottom = bottom;
    }
  } catch (...) {
    error = std::current_exception();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  slot.error = error;
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
    changed_.notify_all();
  }
  changed_.wait(lock, [&] { return !ready_.empty() || done_; });
  if (ready_.empty()) {
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    return false;
  }
  Slot& front = ready_.front();
  if (prepares_ && !front.isPrepared && !front.taken) {
    front.taken = true;
    lock.unlock();
    PrepareIn(front, takeBand_);  // the reading thread only adds frames behind it meanwhile
    lock.lock();
  }
  changed_.wait(lock, [&] { return !prepares_ || front.isPrepared; });
  current_ = std::move(front);
  ready_.pop_front();
  taken_ = current_.order;
  changed_.notify_all();
  lock.unlock();
  if (current_.error) std::rethrow_exception(current_.error);
  return true;
}

}  // namespace pramvix::cli::logo
