#include "sampling.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pramvix::cli::logo {

int LevelStride(int taken, int cap) {
  // Levels of cap/16 frames; each level's step is twice the last one's.
  const int perLevel = std::max(1, cap / 16);
  return 1 << std::min(30, taken / perLevel);
}

FrameSampler::FrameSampler(std::unique_ptr<Y4MReader> reader, SampleRule rule)
    : reader_(std::move(reader)), rule_(rule) {
  rule_.cap = std::clamp(rule_.cap, 1, kMaxSampleCap);
  width_ = reader_->Format().width;
  height_ = reader_->Format().height;
  long long span = -1;
  const int count = reader_->FrameCount();
  if (count >= 0) {
    const long long last = rule_.last < 0 ? count - 1LL : std::min<long long>(rule_.last, count - 1LL);
    span = std::max(0LL, last - rule_.first + 1);
  } else if (rule_.last >= 0) {
    span = static_cast<long long>(rule_.last) - rule_.first + 1;
  }
  if (span >= 0) {
    knownLength_ = true;
    stride_ = static_cast<int>(std::max(1LL, (span + rule_.cap - 1) / rule_.cap));
  }
  if (knownLength_ && count >= 0 && reader_->Seekable()) {
    interleaved_ = true;
    count_ = static_cast<int>(std::min<long long>(rule_.cap, (span + stride_ - 1) / stride_));
    byParts_ = rule_.byParts && reader_->ReadsAnyFrame();
  }
  if (!byParts_) planar_.resize(reader_->Format().FrameBytes());
  if (!interleaved_) probe_.resize(3 * static_cast<size_t>(width_));
}

bool FrameSampler::ReadNextInOrder() {
  if (!reader_->ReadFrame(planar_.data())) return false;
  if (interleaved_) return true;  // a file read out of order, by seeking
  // Rows a quarter, half and three quarters down.
  const size_t w = static_cast<size_t>(width_);
  bool same = readInOrder_ > 0;
  for (int i = 0; i < 3; ++i) {
    const uint8_t* row = planar_.data() + static_cast<size_t>(height_ * (i + 1) / 4) * w;
    uint8_t* kept = probe_.data() + i * w;
    same = same && std::memcmp(row, kept, w) == 0;
    std::memcpy(kept, row, w);
  }
  ++readInOrder_;
  repeats_ += same;
  return true;
}

int FrameSampler::InterleavedFrame(int taken) const {
  // Passes in bit-reversed order: every 8th frame, then those halfway
  // between, then those a quarter of the way, then the rest.
  static constexpr int kOrder[kPasses] = {0, 4, 2, 6, 1, 5, 3, 7};
  for (int pass : kOrder) {
    const int size = count_ > pass ? (count_ - pass + kPasses - 1) / kPasses : 0;
    if (taken < size) return rule_.first + (pass + taken * kPasses) * stride_;
    taken -= size;
  }
  return -1;
}

int FrameSampler::NextWanted() const {
  if (interleaved_) return taken_ < count_ ? InterleavedFrame(taken_) : -1;
  if (number_ < 0) return rule_.first;
  const int step = knownLength_ ? stride_ : LevelStride(taken_, rule_.cap);
  return number_ > 2147483647 - step ? -1 : number_ + step;
}

void FrameSampler::ReadRows(int number, int top, int bottom, uint8_t* planar) const {
  top = std::max(0, top), bottom = std::min(height_, bottom);
  if (top >= bottom) return;
  reader_->ReadLumaAt(number, top, bottom - top, planar + static_cast<size_t>(top) * width_);
  reader_->ReadChromaAt(number, top, bottom, planar + static_cast<size_t>(width_) * height_);
}

void FrameSampler::SwapFrame(std::vector<uint8_t>& buffer) {
  buffer.resize(planar_.size());
  planar_.swap(buffer);
}

bool FrameSampler::Next() {
  if (taken_ >= rule_.cap) return false;
  const int wanted = NextWanted();
  if (wanted < 0 || (rule_.last >= 0 && wanted > rule_.last)) return false;
  const int count = reader_->FrameCount();
  if (count >= 0 && wanted >= count) return false;
  if (byParts_) {
    reader_->CheckFrameAt(wanted);
    number_ = wanted;
    ++taken_;
    return true;
  }
  if (reader_->Seekable() && count >= 0 && reader_->Next() != wanted) {
    reader_->SeekFrame(wanted);
  }
  // A pipe is read through the frames that are not taken.
  while (reader_->Next() < wanted) {
    if (!ReadNextInOrder()) return false;
  }
  if (!ReadNextInOrder()) return false;
  number_ = wanted;
  ++taken_;
  return true;
}

}  // namespace pramvix::cli::logo
