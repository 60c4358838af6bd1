#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "frame_view.h"
#include "sampling.h"

namespace pramvix::cli::logo {

// Reads the sampler's frames on a thread of its own, a few frames ahead of
// the analysis, so that reading and analysing overlap. The frames come out in
// the sampler's order; an error while reading is thrown by Next in its turn,
// after the frames before it. Memory: `depth` + 1 frames, whatever the clip.
// `prepare`, when given, fills each frame's Prepared() bytes, once: on the
// reading thread while frames wait for the analysis (the frame still fresh in
// the cache), else on the analysis' thread as Next hands the frame out, so
// that whichever thread would wait does the work.
class ReadAhead {
 public:
  using Prepare = std::function<void(const FrameView&, std::vector<uint8_t>&)>;

  explicit ReadAhead(FrameSampler& sampler, Prepare prepare = nullptr, int depth = 2);
  ~ReadAhead();  // stops the reading and waits for it
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // Moves to the next frame; false when there is none.
  bool Next();
  FrameView Frame() const { return FrameView::OfPlanar(kept_ ? kept_->data() : current_.bytes.data(), width_, height_); }
  // What `prepare` made of the current frame; the caller may swap it out.
  std::vector<uint8_t>& Prepared() { return current_.prepared; }
  int Number() const { return current_.number; }  // frame number in the clip
  int Taken() const { return taken_; }            // frames handed out so far
  // Makes rows [top, bottom) of the current frame's chroma hold the frame's
  // own: a file's frames come with their luma only (FrameSampler::ByParts),
  // and the rest of their chroma holds what the buffer held before.
  void ReadChroma(int top, int bottom);
  // Keeps the current frame's bytes, its chroma whole, in `keep`: the first
  // time by swapping them in (no copy), which `keep` must outlive until the
  // next call to Next; a copy after that. Frame() stays the same.
  void Keep(std::vector<uint8_t>& keep);

 private:
  struct Slot {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> prepared;
    bool isPrepared = false;
    int chromaTop = 0, chromaBottom = 0;  // the chroma rows read
    int number = -1;
    int taken = 0;
  };

  void Read();  // the thread

  FrameSampler& sampler_;
  Prepare prepare_;
  int width_, height_;
  Slot current_;
  std::vector<uint8_t>* kept_ = nullptr;  // where the current frame went
  int taken_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Slot> ready_;                   // read, not yet handed out
  std::vector<Slot> free_;                   // buffers to read into
  bool done_ = false;                        // the thread has stopped
  bool stop_ = false;                        // asked to stop
  std::exception_ptr error_;
  std::thread thread_;
};

}  // namespace pramvix::cli::logo
