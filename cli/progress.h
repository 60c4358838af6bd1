#pragma once
#include <chrono>

namespace pramvix::cli {

// Frames done and frames per second on a terminal, at most a few times a
// second; with the total and the time left when the total is known (above 0).
class Progress {
 public:
  explicit Progress(bool enabled, int total = 0);
  ~Progress();
  void Update(int frames);

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  int total_;
  Clock::time_point start_, shown_;
  int frames_ = 0;
};

}  // namespace pramvix::cli
