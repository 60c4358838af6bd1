#include "frame_workers.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace pramvix::cli {

FrameWorkers::FrameWorkers(int threads, int window, int first, int last, Make make)
    : window_(std::max(window, 1)),
      make_(std::move(make)),
      next_(first),
      consumed_(first),
      end_(last < 0 ? INT_MAX : last) {
  try {
    for (int i = 0; i < std::max(threads, 1); ++i) threads_.emplace_back([this] { Work(); });
  } catch (...) {
    Stop();  // the threads already started
    throw;
  }
}

FrameWorkers::~FrameWorkers() { Stop(); }

void FrameWorkers::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  claimable_.notify_all();
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

void FrameWorkers::Work() {
  std::vector<uint8_t> bytes;
  for (;;) {
    int n = 0;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      claimable_.wait(lock, [this] { return stop_ || next_ > end_ || next_ - consumed_ < window_; });
      if (stop_ || next_ > end_) return;
      n = next_++;
      if (!spare_.empty()) {
        bytes = std::move(spare_.back());
        spare_.pop_back();
      }
    }
    Made made;
    try {
      made.present = make_(n, bytes);
    } catch (...) {
      made.error = std::current_exception();
    }
    made.bytes = std::move(bytes);
    bytes = {};
    {
      std::lock_guard<std::mutex> lock(mutex_);
      // Nothing after the end or the first error is needed.
      if (!made.present || made.error) end_ = std::min(end_, n);
      done_[n] = std::move(made);
    }
    made_.notify_all();
    claimable_.notify_all();  // the end may have moved
  }
}

bool FrameWorkers::Next(std::vector<uint8_t>& bytes) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (consumed_ > end_) return false;
  made_.wait(lock, [this] { return done_.count(consumed_) != 0; });
  auto found = done_.find(consumed_);
  Made made = std::move(found->second);
  done_.erase(found);
  ++consumed_;
  if (made.error || !made.present) consumed_ = end_ + 1;  // nothing follows
  if (!made.error && made.present) {
    std::swap(bytes, made.bytes);
    spare_.push_back(std::move(made.bytes));
  }
  lock.unlock();
  claimable_.notify_all();
  if (made.error) std::rethrow_exception(made.error);
  return made.present;
}

}  // namespace pramvix::cli
