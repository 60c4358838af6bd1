#include "memory_clip.h"

#include <atomic>
#include <cstdint>
#include <utility>

#include "host_error.h"

namespace pramvix::local {

namespace {
std::atomic<int> gLiveClips{0};
}  // namespace

MemoryClip::MemoryClip(const VideoInfo& vi, std::vector<PVideoFrame> frames)
    : vi_(vi), frames_(std::move(frames)) {
  vi_.num_frames = static_cast<int>(frames_.size());
  gLiveClips.fetch_add(1);
}

MemoryClip::~MemoryClip() { gLiveClips.fetch_sub(1); }

PClip MemoryClip::Of(const std::vector<Picture>& pictures, int pitchPadding, unsigned char pixelType) {
  VideoInfo vi;
  if (!pictures.empty()) {
    vi.width = pictures[0].rowSize / 2;
    vi.height = pictures[0].height;
  }
  vi.pixel_type = pixelType;
  vi.audio_samples_per_second = 48000;
  vi.sample_type = 2;  // bytes per sample, for this host
  vi.nchannels = 2;
  vi.num_audio_samples = 48000;
  std::vector<PVideoFrame> frames;
  for (const Picture& picture : pictures) frames.push_back(FrameOf(picture, pitchPadding));
  return PClip(new MemoryClip(vi, std::move(frames)));
}

PVideoFrame MemoryClip::GetFrame(int n, IScriptEnvironment*) {
  ++requests_;
  if (frames_.empty()) throw HostError("MemoryClip: the clip has no frames");
  const int last = static_cast<int>(frames_.size()) - 1;
  const PVideoFrame& frame = frames_[static_cast<size_t>(n < 0 ? 0 : (n > last ? last : n))];
  if (!serveCopies_) return frame;
  const int padding = frame->GetPitch() - frame->GetRowSize();
  return FrameOf(PictureOf(frame), padding);
}

void MemoryClip::GetAudio(void* buf, int start, int count, IScriptEnvironment*) {
  auto* bytes = static_cast<uint8_t*>(buf);
  const int64_t frameBytes = static_cast<int64_t>(vi_.sample_type) * vi_.nchannels;
  for (int64_t i = 0; i < static_cast<int64_t>(count) * frameBytes; ++i) {
    bytes[i] = static_cast<uint8_t>(static_cast<int64_t>(start) * frameBytes + i);
  }
}

int MemoryClip::Live() { return gLiveClips.load(); }

}  // namespace pramvix::local
