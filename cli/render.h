#pragma once
#include <cstdio>
#include <functional>
#include <string>

#include "host/host.h"
#include "y4m.h"
#include "y4m_clip.h"

namespace pramvix::cli {

struct RenderRange {
  int first = 0;
  int last = -1;  // included; -1: to the end
};

// Called after each frame written, with the count so far.
using FrameDone = std::function<void(int frames)>;

// Pulls frames first..last of `clip` and writes them to `out` as Y4M with
// `format`'s rate, interlacing and aspect. The output ends at the end of the
// range, at the clip's frame count, or, for a clip of unknown length, when
// `lengthOf` (the stream behind the first clip argument) runs out. Returns the
// number of frames written. Filter errors pass through; output errors and a
// frame of another size than the clip's throw CliError.
//
// With `threads` above 1, that many threads ask `clip` for frames ahead of the
// writer, which writes them in order: the same bytes, and on an error the
// frames before the failing one and then its error, as with one thread. The
// clip and the sources behind it must take requests from several threads
// (Y4MClip::KeepAhead(RenderWindow(threads)) for each stream).
int RenderY4M(IClip& clip, Y4MClip* lengthOf, const Y4MFormat& format, RenderRange range, IScriptEnvironment& env,
              std::FILE* out, const std::string& outName, const FrameDone& done, int threads = 1);

// How many frames `threads` threads may be ahead of the writer.
int RenderWindow(int threads);

// Writes frame n of `clip` as a PNG picture; CliError when the clip has no
// frame n or the picture cannot be written.
void RenderPNG(IClip& clip, Y4MClip* lengthOf, int n, IScriptEnvironment& env, std::FILE* out,
               const std::string& outName);

}  // namespace pramvix::cli
