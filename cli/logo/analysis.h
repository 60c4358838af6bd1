#pragma once
#include <optional>
#include <string>

#include "cli_error.h"
#include "detection.h"
#include "frame_view.h"
#include "picture.h"
#include "reference.h"
#include "sampling.h"

namespace pramvix::cli::logo {

struct AnalysisOptions {
  std::optional<Box> region;  // --region: no search
};

// Everything the command reports.
struct Analysis {
  int width = 0, height = 0;
  int framesRead = 0;    // sampled frames
  int flatFrames = 0;    // with plain surroundings around the logo
  int fitFrames = 0;     // of those, with the logo, used by the fit
  bool searched = true;  // false: the region was given
  Reference reference;
  DetectionAdvice ifLogo, ifNoLogo;
  local::Picture sample;  // a frame with the logo, for the preview (YUY2)
  int sampleNumber = -1;
};

// Why no reference picture is made; exit status 1 with this text.
class NoLogoFound : public CliError {
 public:
  explicit NoLogoFound(const std::string& message) : CliError(message) {}
};

// Reads each sampled frame once (on a thread of its own, ahead of the
// analysis): the search's statistics over whole frames, and, as soon as a
// logo shows (checked after 8 frames, then every 16 until then), the fit's
// over a box around it. A box found later elsewhere, or well inside the
// latest fit's box, starts another fit; of the fits before it, one that reads
// part of the new box and saw the logo in more frames is kept, and stands if
// the new one gets too few frames while its own logo lies well inside its
// box, or if it explains the logo far better. The frames before a fit started are
// not fitted: a file hands out frames spread over the whole clip first, so
// that they are few. Throws NoLogoFound when it cannot vouch for a result.
Analysis AnalyseClip(FrameSampler& sampler, const AnalysisOptions& options);

// The fit box for a logo box: grown by `margin`, with an even x and width.
Box FitBoxFor(const Box& logo, int margin, int width, int height);

// Whether a look that found `found` has settled on what the fit of
// `fitBox` reads: the found box fits in it, and the fit box is not much
// larger than its own would be. A speck of chance inside a large box that an
// early look found is not the logo, and the looks must go on to find it.
bool Settles(const Box& fitBox, const Box& found, int width, int height);
// Whether a fit box reaches past the one a found box would get by more than
// the search's margin on some side.
bool Loose(const Box& fitBox, const Box& found, int width, int height);

// After how many frames the search looks next, after a look at `taken`
// frames. Until the logo's place settles (the look found the box that the
// latest fit reads), soon: early on, a still scene can pass for a logo, and
// a fit must start in time to gather frames. Once settled, at 4 times the
// frames, for a better place.
int NextLook(int taken, bool settled);

// Whether a reference picture keeps the logo's strokes 6 pixels from the
// edges of a fit box (but for the frame's): a logo cut by the box would
// reach them. Faint pixels there (under a quarter of the logo's height
// above black, as an encoder's halo beside a sharp edge) do not count.
bool StrokesClearOfEdges(const local::Picture& picture, const Box& box);

}  // namespace pramvix::cli::logo
