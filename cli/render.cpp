#include "render.h"

#include "cli_error.h"
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

}  // namespace

int RenderY4M(IClip& clip, Y4MClip* lengthOf, const Y4MFormat& format, RenderRange range, IScriptEnvironment& env,
              std::FILE* out, const std::string& outName, const FrameDone& done) {
  Y4MWriter writer(out, outName, format);
  int written = 0;
  for (int n = range.first; (range.last < 0 || n <= range.last) && Exists(clip, lengthOf, n); ++n) {
    const PVideoFrame frame = clip.GetFrame(n, &env);
    if (!frame || frame->GetRowSize() != 2 * format.width || frame->GetHeight() != format.height) {
      throw CliError("frame " + std::to_string(n) + " does not have the clip's size " + std::to_string(format.width) +
                     "x" + std::to_string(format.height) + "; a Y4M stream cannot change size");
    }
    writer.WriteFrame(frame->GetReadPtr(), frame->GetPitch());
    ++written;
    if (done) done(written);
  }
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
