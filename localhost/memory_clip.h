#pragma once
#include <atomic>
#include <vector>

#include "host/host.h"
#include "picture.h"

namespace pramvix::local {

// A clip served from frames held in memory. Frame numbers outside the clip are
// clamped to its first or last frame, as frame servers do. Parity is odd for
// odd frames and audio is a counting byte pattern, so that tests can see both
// pass through a filter unchanged.
class MemoryClip : public IClip {
 public:
  MemoryClip(const VideoInfo& vi, std::vector<PVideoFrame> frames);
  ~MemoryClip() override;

  // A YUY2 clip (or of another pixel type, for refusals) of these pictures.
  static PClip Of(const std::vector<Picture>& pictures, int pitchPadding = 0,
                  unsigned char pixelType = kPixelYUY2);

  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  bool GetParity(int n) override { return (n & 1) != 0; }
  void GetAudio(void* buf, int start, int count, IScriptEnvironment* env) override;
  const VideoInfo& GetVideoInfo() override { return vi_; }

  // When set, every request gets a frame of its own (already writable).
  void ServeCopies(bool on) { serveCopies_ = on; }
  int Requests() const { return requests_.load(); }

  static int Live();  // clips alive now

 private:
  VideoInfo vi_;
  std::vector<PVideoFrame> frames_;
  bool serveCopies_ = false;
  std::atomic<int> requests_{0};
};

}  // namespace pramvix::local
