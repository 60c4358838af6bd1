#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
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
// `prepare`, when given, fills each frame's Prepared() bytes from its luma,
// once, on either thread: once `depth` frames wait, the reading thread
// prepares the latest of them that nobody has taken up, while Next prepares
// the frame it hands out unless the reading thread is at it (then it waits
// for it), so that both threads work while frames wait. A file is read by
// parts (FrameSampler::ByParts): `prepare` reads the luma a band at a time,
// which stays in the nearest caches, and a frame's bytes hold only the rows
// ReadRows read (or Expect named). An error in preparing a frame is thrown
// by Next in the frame's turn.
class ReadAhead {
 public:
  using Prepare = std::function<void(const LumaRows&, std::vector<uint8_t>&)>;

  explicit ReadAhead(FrameSampler& sampler, Prepare prepare = nullptr, int depth = 2);
  ~ReadAhead();  // stops the reading and waits for it
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // Moves to the next frame; false when there is none.
  bool Next();
  FrameView Frame() const { return FrameView::OfPlanar(kept_ ? kept_->data() : Bytes(current_), width_, height_); }
  // What `prepare` made of the current frame; the caller may swap it out.
  std::vector<uint8_t>& Prepared() { return current_.prepared; }
  int Number() const { return current_.number; }  // frame number in the clip
  int Taken() const { return taken_; }            // frames handed out so far
  // Makes rows [top, bottom) of the current frame, luma and chroma, hold
  // the frame's own (they do from the start unless read by parts).
  void ReadRows(int top, int bottom);
  // The rows the analysis is going to ask for: a frame read by parts reads
  // them where it is prepared, on either thread, so that asking for them
  // costs nothing. (A frame prepared while they change may get other rows:
  // ReadRows reads what it lacks.)
  void Expect(int top, int bottom) { expectTop_ = top, expectBottom_ = bottom; }
  // Keeps the current frame's bytes, all of them, in `keep`: the first time
  // by swapping them in (no copy; a copy when read by parts), which `keep`
  // must outlive until the next call to Next; a copy after that. Frame()
  // stays the same.
  void Keep(std::vector<uint8_t>& keep);

 private:
  struct Slot {
    std::vector<uint8_t> bytes;           // a frame read whole
    std::unique_ptr<uint8_t[]> parts;     // a frame read by parts, its rows as read (pages never read stay untouched)
    std::vector<uint8_t> prepared;
    bool isPrepared = false;
    bool taken = false;                   // a thread prepares it
    std::exception_ptr error;             // of preparing it
    int rowsTop = 0, rowsBottom = 0;      // the rows read by parts
    int number = -1;
    int order = 0;                        // Taken() once handed out
  };

  void Read();  // the thread
  bool ReadInto(Slot& slot);  // the sampler's next frame; false at the end
  Slot* Unprepared();         // the latest waiting frame nobody prepares, under the lock
  static const uint8_t* Bytes(const Slot& slot) { return slot.parts ? slot.parts.get() : slot.bytes.data(); }
  // The slot's luma rows for `prepare`; read by parts into `band`.
  LumaRows RowsOf(const Slot& slot, std::vector<uint8_t>& band) const;
  void PrepareIn(Slot& slot, std::vector<uint8_t>& band);  // records an error in the slot

  FrameSampler& sampler_;
  Prepare prepare_;
  bool prepares_;  // prepare_ given, or frames read by parts (their expected rows)
  std::atomic<int> expectTop_{0}, expectBottom_{0};
  int width_, height_;
  std::vector<uint8_t> readBand_, takeBand_;  // a band of luma read by parts: the reading thread's, and Next's
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
