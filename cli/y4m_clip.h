#pragma once
#include <climits>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "y4m.h"

namespace pramvix::cli {

// Frame count reported for a stream whose end is not known yet (a pipe).
constexpr int kUnknownLength = INT_MAX;

// A clip read from a Y4M stream as its frames are asked for. A few recently
// used frames are kept, so a filter may ask again for frame n or for a fixed
// reference frame; memory stays bounded by those few frames whatever the
// clip's length. A seekable file may be read in any order; a pipe only
// forward, so a frame older than those kept is an error there. Frame numbers
// past the end give the last frame, before the start the first, as frame
// servers do.
//
// Requests may come from several threads at once. Each thread reads and
// unpacks the frame it wants of a file by itself, beside the others; a pipe
// is read by one thread at a time, in order, and each frame read is unpacked
// outside the lock while the next one is read.
//
// A file's frame is handed over on its first request with no other handle
// to it, so that a filter writes into it without a copy; a second request
// reads it again, and that frame is kept and shared. The frame of a file of
// one frame (a reference picture) is kept from the first request.
class Y4MClip final : public IClip {
 public:
  static constexpr size_t kKeptFrames = 4;

  explicit Y4MClip(std::unique_ptr<Y4MReader> reader);

  // For threads that ask for frames out of order, up to `frames` apart: a
  // pipe's frames read on the way to a later one are kept for them, and the
  // clip keeps that many more frames, twice (those asked for and those read
  // ahead).
  void KeepAhead(int frames);

  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  bool GetParity(int n) override;
  void GetAudio(void* buf, int start, int count, IScriptEnvironment* env) override;
  const VideoInfo& GetVideoInfo() override { return vi_; }

  // Whether the input holds frame n; reads forward to it when needed.
  bool HasFrame(int n);
  // Frame n as GetFrame gives it, no longer kept: the caller holds the only
  // handle (but to a pipe's final frame), so making it writable copies nothing.
  PVideoFrame Take(int n, IScriptEnvironment* env);
  const Y4MFormat& Format() const { return reader_->Format(); }

 private:
  using Lock = std::unique_lock<std::mutex>;
  struct Read {
    int n;
    std::vector<uint8_t> planar;
  };

  PVideoFrame Frame(int n, Lock& lock);
  // Frame n of a file, read and unpacked with the lock released; kept when
  // it was handed over before.
  PVideoFrame ReadAlone(int n, bool again, Lock& lock);
  // Frame n, or an empty handle when the input ends before it.
  PVideoFrame Fetch(int n, Lock& lock);
  // Reads up to frame n into `read`: n and the frames threads behind want.
  void ReadTo(int n, std::vector<Read>& read);
  // Unpacks the frames read, with the lock released, and keeps them.
  void Unpack(std::vector<Read>& read, Lock& lock);
  PVideoFrame NewFrame() const;  // of the clip's size, its bytes unset
  PVideoFrame Unpacked(const std::vector<uint8_t>& planar) const;
  struct Entry {
    int n;
    PVideoFrame frame;  // empty: a file's frame handed over once, not kept
  };
  Entry* Find(int n);  // made the most recently used
  PVideoFrame Kept(int n);
  void Keep(int n, const PVideoFrame& frame);

  std::mutex mutex_;  // guards everything below
  std::condition_variable unpacked_;
  std::unique_ptr<Y4MReader> reader_;
  VideoInfo vi_;
  size_t ahead_ = 0;
  std::string failure_;  // a read that failed fails again: the stream cannot go on
  std::set<int> unpacking_;  // frames read whose unpacking is under way
  std::vector<std::vector<uint8_t>> spare_;  // buffers for frames to read
  int newestNumber_ = -1;  // the frame read last, and once unpacked, its bytes
  std::vector<uint8_t> newestPlanar_;
  std::deque<Entry> kept_;  // most recently used last
  PVideoFrame last_;  // the final frame, once the end of a pipe is seen
};

// A clip of one still picture (a PNG reference picture): the same frame for
// every frame number, decoded once.
class StillClip final : public IClip {
 public:
  explicit StillClip(const local::Picture& picture);

  PVideoFrame GetFrame(int, IScriptEnvironment*) override { return frame_; }
  bool GetParity(int) override { return false; }
  void GetAudio(void* buf, int start, int count, IScriptEnvironment* env) override;
  const VideoInfo& GetVideoInfo() override { return vi_; }

 private:
  VideoInfo vi_;
  PVideoFrame frame_;
};

// Opens a clip argument: a Y4M stream or a PNG picture, told apart by their
// first bytes; "-" is standard input. Throws CliError.
PClip OpenClip(const std::string& path);

}  // namespace pramvix::cli
