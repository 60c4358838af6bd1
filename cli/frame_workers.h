#pragma once
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace pramvix::cli {

// Frames made by several threads ahead of the one that consumes them, handed
// over in frame order, as a frame server's prefetch does. Each thread takes
// the next frame number and makes that frame's bytes; at most `window` frames
// are taken and not yet consumed, so memory stays bounded whatever the length.
class FrameWorkers {
 public:
  // Makes frame n's bytes into `bytes` (a buffer of an earlier frame, to be
  // reused); false when there is no frame n. May throw: the error reaches
  // the consumer at frame n.
  using Make = std::function<bool(int n, std::vector<uint8_t>& bytes)>;

  // Frames first…last (last < 0: until Make says there is none).
  FrameWorkers(int threads, int window, int first, int last, Make make);
  // Stops the threads, waiting for the frames they are making.
  ~FrameWorkers();
  FrameWorkers(const FrameWorkers&) = delete;
  FrameWorkers& operator=(const FrameWorkers&) = delete;

  // The next frame's bytes in order, swapped into `bytes` (whose old buffer
  // is reused); false after the last frame. Rethrows the frame's error: every
  // frame before it has been handed over.
  bool Next(std::vector<uint8_t>& bytes);

 private:
  struct Made {
    bool present = false;
    std::exception_ptr error;
    std::vector<uint8_t> bytes;
  };

  void Work();
  void Stop();

  const int window_;
  const Make make_;
  std::mutex mutex_;
  std::condition_variable claimable_, made_;
  int next_;      // the next frame a thread takes
  int consumed_;  // the next frame handed over
  int end_;       // no frame after this one is needed
  bool stop_ = false;
  std::map<int, Made> done_;
  std::vector<std::vector<uint8_t>> spare_;
  std::vector<std::thread> threads_;
};

}  // namespace pramvix::cli
