#include "render.h"

#include <vector>

#include "cli_error.h"
#include "frame_workers.h"
#include "png_io.h"

namespace pramvix::cli {

namespace {

// Whether frame n exists: by the frame count, or by reading the stream when
// its length is not known yet.
bool Exists(IClip& clip, Y4MClip* lengthOf, int n) {
  if (n < 0) return false;
  const int count = clip.GetVideoInfo().num_frames;
  if (count != kUnknownLength) return n < count;
  return lengthOf == nullptr || lengthOf->HasFrame(n);
}

void CheckSize(const PVideoFrame& frame, int n, const Y4MFormat& format) {
  if (!frame || frame->GetRowSize() != 2 * format.width || frame->GetHeight() != format.height) {
    throw CliError("frame " + std::to_string(n) + " does not have the clip's size " + std::to_string(format.width) +
                   "x" + std::to_string(format.height) + "; a Y4M stream cannot change size");
  }
}

int RenderInOrder(IClip& clip, Y4MClip* lengthOf, RenderRange range, IScriptEnvironment& env, Y4MWriter& writer,
                  const Y4MFormat& format, const FrameDone& done) {
  int written = 0;
  for (int n = range.first; (range.last < 0 || n <= range.last) && Exists(clip, lengthOf, n); ++n) {
    const PVideoFrame frame = clip.GetFrame(n, &env);
    CheckSize(frame, n, format);
    writer.WriteFrame(frame->GetReadPtr(), frame->GetPitch());
    ++written;
    if (done) done(written);
  }
  return written;
}

// The threads also pack each frame into the stream's planes, which leaves
// the writer only the write.
int RenderAhead(IClip& clip, Y4MClip* lengthOf, RenderRange range, IScriptEnvironment& env, Y4MWriter& writer,
                const Y4MFormat& format, const FrameDone& done, int threads) {
  const auto make = [&](int n, std::vector<uint8_t>& planar) {
    if (!Exists(clip, lengthOf, n)) return false;
    const PVideoFrame frame = clip.GetFrame(n, &env);
    CheckSize(frame, n, format);
    planar.resize(format.StreamFrameBytes());
    PackFrame(format, frame->GetReadPtr(), frame->GetPitch(), planar.data());
    return true;
  };
  FrameWorkers<std::vector<uint8_t>> workers(threads, RenderWindow(threads), range.first, range.last, make);
  int written = 0;
  std::vector<uint8_t> planar;
  while (workers.Next(planar)) {
    writer.WritePacked(planar.data());
    ++written;
    if (done) done(written);
  }
  return written;
}

}  // namespace

int RenderWindow(int threads) { return (threads > 1 ? threads : 1) + 1; }

int RenderY4M(IClip& clip, Y4MClip* lengthOf, const Y4MFormat& format, RenderRange range, IScriptEnvironment& env,
              std::FILE* out, const std::string& outName, const FrameDone& done, int threads) {
  Y4MWriter writer(out, outName, format);
  const int written = threads > 1 ? RenderAhead(clip, lengthOf, range, env, writer, format, done, threads)
                                  : RenderInOrder(clip, lengthOf, range, env, writer, format, done);
  if (std::fflush(out) != 0) throw CliError(outName + ": write error");
  return written;
}

void RenderPNG(IClip& clip, Y4MClip* lengthOf, int n, IScriptEnvironment& env, std::FILE* out,
               const std::string& outName) {
  if (!Exists(clip, lengthOf, n)) throw CliError("the clip has no frame " + std::to_string(n));
  const PVideoFrame frame = clip.GetFrame(n, &env);
  if (!frame) throw CliError("the clip gave no frame " + std::to_string(n));
  if (!WriteYUY2AsPNG(local::PictureOf(frame), out) || std::fflush(out) != 0) {
    throw CliError(outName + ": cannot write the PNG picture");
  }
}

}  // namespace pramvix::cli
