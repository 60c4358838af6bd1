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

void Y4MClip::KeepAhead(int frames) {
  std::lock_guard<std::mutex> lock(mutex_);
  ahead_ = frames > 0 ? static_cast<size_t>(frames) : 0;
}

PVideoFrame Y4MClip::GetFrame(int n, IScriptEnvironment*) {
  Lock lock(mutex_);
  return Frame(n, lock);
}

PVideoFrame Y4MClip::Frame(int n, Lock& lock) {
  if (n < 0) n = 0;
  const int count = reader_->FrameCount();
  if (count == 0) throw CliError(reader_->Name() + ": the clip has no frames");
  if (count > 0 && n >= count) n = count - 1;
  PVideoFrame frame = Fetch(n, lock);
  return frame ? frame : last_;
}

PVideoFrame Y4MClip::Take(int n, IScriptEnvironment*) {
  Lock lock(mutex_);
  PVideoFrame frame = Frame(n, lock);
  for (auto it = kept_.begin(); it != kept_.end(); ++it) {
    if (it->frame.get() == frame.get()) {
      kept_.erase(it);
      break;
    }
  }
  return frame;
}

bool Y4MClip::HasFrame(int n) {
  if (n < 0) return false;
  Lock lock(mutex_);
  const int count = reader_->FrameCount();
  if (count >= 0) return n < count;
  return static_cast<bool>(Fetch(n, lock));
}

PVideoFrame Y4MClip::Fetch(int n, Lock& lock) {
  // Another thread may be unpacking frame n: it is kept once done.
  Entry* kept = nullptr;
  for (;;) {
    kept = Find(n);
    if (kept && kept->frame) return kept->frame;
    if (unpacking_.count(n) == 0) break;
    unpacked_.wait(lock);
  }
  if (reader_->ReadsAnyFrame()) return ReadAlone(n, kept != nullptr, lock);
  if (last_ && n == reader_->FrameCount() - 1) return last_;
  if (!failure_.empty()) throw CliError(failure_);
  if (reader_->Seekable()) {
    if (reader_->Next() != n) reader_->SeekFrame(n);
  } else if (n < reader_->Next()) {
    throw CliError(reader_->Name() + ": frame " + std::to_string(n) +
                   " is no longer held, and a pipe cannot be read backwards");
  }
  std::vector<Read> read;
  try {
    ReadTo(n, read);
  } catch (const CliError& e) {
    // A pipe stopped inside a frame cannot be read on; a request for a later
    // frame from another thread gets the same error. The frames read before
    // it are still served.
    if (!reader_->Seekable()) failure_ = e.what();
    Unpack(read, lock);
    throw;
  }
  const bool found = !read.empty() && read.back().n == n;
  Unpack(read, lock);
  // Kept just now, and the lock held since.
  if (found) return Kept(n);
  // The input ended before frame n; its last frame stands in for later ones.
  vi_.num_frames = reader_->FrameCount();
  if (newestNumber_ < 0) throw CliError(reader_->Name() + ": the clip has no frames");
  while (unpacking_.count(newestNumber_) != 0) unpacked_.wait(lock);
  if (!last_) last_ = Unpacked(newestPlanar_);
  return PVideoFrame();
}

PVideoFrame Y4MClip::ReadAlone(int n, bool again, Lock& lock) {
  unpacking_.insert(n);  // a thread that wants n meanwhile waits for it
  PVideoFrame frame;
  lock.unlock();
  try {
    frame = NewFrame();
    reader_->ReadFrameAt(n, static_cast<local::LocalFrame*>(frame.get())->Bytes(), frame->GetPitch());
  } catch (...) {
    lock.lock();
    unpacking_.erase(n);
    unpacked_.notify_all();
    throw;
  }
  lock.lock();
  // The first time, the caller holds the only handle; the clip only notes
  // that the frame was asked for. A file of one frame is a still picture
  // (a reference picture) that every request asks for: kept at once.
  Keep(n, again || reader_->FrameCount() == 1 ? frame : PVideoFrame());
  unpacking_.erase(n);
  unpacked_.notify_all();
  return frame;
}

void Y4MClip::ReadTo(int n, std::vector<Read>& read) {
  // Frames before n are read in order and dropped, but for those that
  // threads behind this one will still ask for, and the last one dropped,
  // which stands in for later frames if the input ends.
  std::vector<uint8_t> dropped;
  int droppedNumber = -1;
  while (reader_->Next() <= n) {
    std::vector<uint8_t> planar;
    if (!spare_.empty()) {
      planar = std::move(spare_.back());
      spare_.pop_back();
    }
    // Allocated for a frame that is there, not on a header's word alone.
    planar.resize(reader_->Format().FrameBytes());
    if (!reader_->ReadFrame(planar.data())) {
      spare_.push_back(std::move(planar));
      if (droppedNumber >= 0 && droppedNumber == newestNumber_) {
        unpacking_.insert(droppedNumber);
        read.push_back(Read{droppedNumber, std::move(dropped)});
      }
      return;
    }
    const int k = reader_->Next() - 1;
    newestNumber_ = k;
    if (k == n || static_cast<size_t>(n - k) <= ahead_) {
      unpacking_.insert(k);
      read.push_back(Read{k, std::move(planar)});
    } else {
      if (!dropped.empty()) spare_.push_back(std::move(dropped));
      dropped = std::move(planar);
      droppedNumber = k;
    }
  }
  if (!dropped.empty()) spare_.push_back(std::move(dropped));
}

PVideoFrame Y4MClip::NewFrame() const {
  const Y4MFormat& f = reader_->Format();  // fixed once opened
  const int rowSize = 2 * f.width;
  // Every picture byte is written by the caller, so the frame is not cleared.
  return PVideoFrame(
      new local::LocalFrame(rowSize, f.height, PitchFor(rowSize), local::LocalFrame::Start::kFilledByCaller));
}

PVideoFrame Y4MClip::Unpacked(const std::vector<uint8_t>& planar) const {
  const Y4MFormat& f = reader_->Format();
  PVideoFrame frame = NewFrame();
  PlanarToYUY2(planar.data(), f.width, f.height, static_cast<local::LocalFrame*>(frame.get())->Bytes(),
               frame->GetPitch());
  return frame;
}

void Y4MClip::Unpack(std::vector<Read>& read, Lock& lock) {
  if (read.empty()) return;
  std::vector<PVideoFrame> frames;
  lock.unlock();
  try {
    for (const Read& r : read) frames.push_back(Unpacked(r.planar));
  } catch (...) {
    lock.lock();
    for (const Read& r : read) unpacking_.erase(r.n);
    unpacked_.notify_all();
    throw;
  }
  lock.lock();
  for (size_t i = 0; i < read.size(); ++i) {
    Keep(read[i].n, frames[i]);
    unpacking_.erase(read[i].n);
    // The newest frame's bytes stay: it stands in for later frames if the
    // input ends, when it may no longer be kept.
    if (read[i].n == newestNumber_) std::swap(newestPlanar_, read[i].planar);
    if (!read[i].planar.empty() && spare_.size() < 2) spare_.push_back(std::move(read[i].planar));
  }
  unpacked_.notify_all();
}

Y4MClip::Entry* Y4MClip::Find(int n) {
  for (auto it = kept_.begin(); it != kept_.end(); ++it) {
    if (it->n == n) {
      Entry entry = std::move(*it);
      kept_.erase(it);
      kept_.push_back(std::move(entry));
      return &kept_.back();
    }
  }
  return nullptr;
}

PVideoFrame Y4MClip::Kept(int n) {
  Entry* kept = Find(n);
  return kept ? kept->frame : PVideoFrame();
}

void Y4MClip::Keep(int n, const PVideoFrame& frame) {
  for (auto it = kept_.begin(); it != kept_.end(); ++it) {
    if (it->n == n) {
      kept_.erase(it);
      break;
    }
  }
  // Frames asked for out of order lie within `ahead_` of each other on
  // either side: twice that many stay, besides the few a filter asks again.
  while (kept_.size() >= kKeptFrames + 2 * ahead_) kept_.pop_front();
  kept_.push_back(Entry{n, frame});
}

// The format never changes after opening.
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
