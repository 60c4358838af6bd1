#include "y4m_clip.h"

#include <cstring>

#include "cli_error.h"
#include "local_frame.h"
#include "png_io.h"

namespace pramvix::cli {

namespace {

VideoInfo InfoOf(int width, int height, unsigned fpsNumerator, unsigned fpsDenominator, int frames) {
  VideoInfo vi;
  vi.width = width;
  vi.height = height;
  vi.fps_numerator = fpsNumerator;
  vi.fps_denominator = fpsDenominator;
  vi.num_frames = frames;
  vi.pixel_type = kPixelYUY2;
  return vi;
}

int PitchFor(int rowSize) { return (rowSize + 15) / 16 * 16; }

}  // namespace

Y4MClip::Y4MClip(std::unique_ptr<Y4MReader> reader) : reader_(std::move(reader)) {
  const Y4MFormat& f = reader_->Format();
  const int count = reader_->FrameCount();
  vi_ = InfoOf(f.width, f.height, f.fpsNumerator, f.fpsDenominator, count >= 0 ? count : kUnknownLength);
}

PVideoFrame Y4MClip::GetFrame(int n, IScriptEnvironment*) {
  if (n < 0) n = 0;
  const int count = reader_->FrameCount();
  if (count == 0) throw CliError(reader_->Name() + ": the clip has no frames");
  if (count > 0 && n >= count) n = count - 1;
  PVideoFrame frame = Fetch(n);
  return frame ? frame : last_;
}

PVideoFrame Y4MClip::Take(int n, IScriptEnvironment* env) {
  PVideoFrame frame = GetFrame(n, env);
  for (auto it = kept_.begin(); it != kept_.end(); ++it) {
    if (it->second.get() == frame.get()) {
      kept_.erase(it);
      break;
    }
  }
  return frame;
}

bool Y4MClip::HasFrame(int n) {
  if (n < 0) return false;
  const int count = reader_->FrameCount();
  if (count >= 0) return n < count;
  return static_cast<bool>(Fetch(n));
}

PVideoFrame Y4MClip::Fetch(int n) {
  if (PVideoFrame kept = Kept(n)) return kept;
  if (last_ && n == reader_->FrameCount() - 1) return last_;
  if (reader_->Seekable()) {
    if (reader_->Next() != n) reader_->SeekFrame(n);
  } else if (n < reader_->Next()) {
    throw CliError(reader_->Name() + ": frame " + std::to_string(n) +
                   " is no longer held, and a pipe cannot be read backwards");
  }
  // Allocated with the first frame read, not on a header's word alone.
  if (planar_.empty()) planar_.resize(reader_->Format().FrameBytes());
  // Frames before n are read and dropped: a pipe is read in order.
  while (reader_->Next() <= n) {
    if (!reader_->ReadFrame(planar_.data())) break;
    planarNumber_ = reader_->Next() - 1;
  }
  if (planarNumber_ == n) {
    PVideoFrame frame = Decoded();
    Keep(n, frame);
    return frame;
  }
  // The input ended before frame n.
  vi_.num_frames = reader_->FrameCount();
  if (planarNumber_ < 0) throw CliError(reader_->Name() + ": the clip has no frames");
  if (!last_) last_ = Decoded();
  return PVideoFrame();
}

PVideoFrame Y4MClip::Kept(int n) {
  for (auto it = kept_.begin(); it != kept_.end(); ++it) {
    if (it->first == n) {
      auto entry = *it;
      kept_.erase(it);
      kept_.push_back(entry);
      return entry.second;
    }
  }
  return PVideoFrame();
}

PVideoFrame Y4MClip::Decoded() {
  const Y4MFormat& f = reader_->Format();
  const int rowSize = 2 * f.width;
  // Every picture byte is written below, so the frame is not cleared first.
  auto* frame = new local::LocalFrame(rowSize, f.height, PitchFor(rowSize), local::LocalFrame::Start::kFilledByCaller);
  PVideoFrame handle(frame);
  PlanarToYUY2(planar_.data(), f.width, f.height, frame->Bytes(), frame->GetPitch());
  return handle;
}

void Y4MClip::Keep(int n, const PVideoFrame& frame) {
  if (kept_.size() == kKeptFrames) kept_.pop_front();
  kept_.emplace_back(n, frame);
}

bool Y4MClip::GetParity(int) { return reader_->Format().interlace == 't'; }

void Y4MClip::GetAudio(void* buf, int, int count, IScriptEnvironment*) {
  // No audio: the clip reports none, so any request is for zero bytes.
  (void)buf;
  (void)count;
}

StillClip::StillClip(const local::Picture& picture)
    : vi_(InfoOf(picture.rowSize / 2, picture.height, 25, 1, 1)),
      frame_(local::FrameOf(picture, PitchFor(picture.rowSize) - picture.rowSize)) {}

void StillClip::GetAudio(void*, int, int, IScriptEnvironment*) {}

PClip OpenClip(const std::string& path) {
  const std::string name = path == "-" ? "standard input" : path;
  auto source = OpenSource(path);
  static const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const std::vector<uint8_t> head = source->Peek(9);
  if (head.size() >= 8 && std::memcmp(head.data(), kPngSignature, 8) == 0) {
    return PClip(new StillClip(ReadPNG(*source, name)));
  }
  if (head.size() < 9 || std::memcmp(head.data(), "YUV4MPEG2", 9) != 0) {
    throw CliError(name + ": neither a Y4M stream nor a PNG picture");
  }
  return PClip(new Y4MClip(std::make_unique<Y4MReader>(std::move(source), name)));
}

}  // namespace pramvix::cli
