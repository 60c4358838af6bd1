#pragma once
#include <algorithm>
#include <climits>
#include <condition_variable>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace pramvix::cli {

// Frames made by several threads ahead of the one that consumes them, handed
// over in frame order, as a frame server's prefetch does. Each thread takes
// the next frame number and makes that frame's result; at most `window`
// frames are taken and not yet consumed, so memory stays bounded whatever the
// length.
template <class Result>
class FrameWorkers {
 public:
  // Makes frame n's result into `result` (which holds an earlier frame's, to
  // reuse its buffers); false when there is no frame n. May throw: the error
  // reaches the consumer at frame n.
  using Make = std::function<bool(int n, Result& result)>;

  // Frames first…last (last < 0: until Make says there is none).
  FrameWorkers(int threads, int window, int first, int last, Make make)
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
  // Stops the threads, waiting for the frames they are making.
  ~FrameWorkers() { Stop(); }
  FrameWorkers(const FrameWorkers&) = delete;
  FrameWorkers& operator=(const FrameWorkers&) = delete;

  // The next frame's result in order, swapped into `result` (whose old
  // contents are reused); false after the last frame. Rethrows the frame's
  // error: every frame before it has been handed over.
  bool Next(Result& result) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (consumed_ > end_) return false;
    made_.wait(lock, [this] { return done_.count(consumed_) != 0; });
    auto found = done_.find(consumed_);
    Made made = std::move(found->second);
    done_.erase(found);
    ++consumed_;
    if (made.error || !made.present) consumed_ = end_ + 1;  // nothing follows
    if (!made.error && made.present) {
      std::swap(result, made.result);
      spare_.push_back(std::move(made.result));
    }
    lock.unlock();
    claimable_.notify_all();
    if (made.error) std::rethrow_exception(made.error);
    return made.present;
  }

 private:
  struct Made {
    bool present = false;
    std::exception_ptr error;
    Result result{};
  };

  void Work() {
    Result result{};
    for (;;) {
      int n = 0;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        claimable_.wait(lock, [this] { return stop_ || next_ > end_ || next_ - consumed_ < window_; });
        if (stop_ || next_ > end_) return;
        n = next_++;
        if (!spare_.empty()) {
          result = std::move(spare_.back());
          spare_.pop_back();
        }
      }
      Made made;
      try {
        made.present = make_(n, result);
      } catch (...) {
        made.error = std::current_exception();
      }
      made.result = std::move(result);
      result = Result{};
      bool ended = false;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        // Nothing after the end or the first error is needed.
        ended = (!made.present || made.error) && n < end_;
        if (ended) end_ = n;
        done_[n] = std::move(made);
      }
      made_.notify_all();
      if (ended) claimable_.notify_all();
    }
  }

  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    claimable_.notify_all();
    for (std::thread& thread : threads_) {
      if (thread.joinable()) thread.join();
    }
  }

  const int window_;
  const Make make_;
  std::mutex mutex_;
  std::condition_variable claimable_, made_;
  int next_;      // the next frame a thread takes
  int consumed_;  // the next frame handed over
  int end_;       // no frame after this one is needed
  bool stop_ = false;
  std::map<int, Made> done_;
  std::vector<Result> spare_;
  std::vector<std::thread> threads_;
};

}  // namespace pramvix::cli
