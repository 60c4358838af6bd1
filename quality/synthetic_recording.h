#pragma once
// Synthetic recordings with a known truth, for measuring how well the removal
// filters restore what lies under a semi-transparent logo. The content is
// worked out per pixel in full colour, the logo blended into it per pixel,
// and only then is each pixel pair's chroma averaged into YUY2, as an encoder
// subsamples a broadcast picture.
#include <string>
#include <vector>

#include "base/region.h"
#include "local_environment.h"
#include "picture.h"

namespace pramvix::quality {

struct LogoColour {
  const char* name;
  int y, u, v;  // in limited range
};

// White, and logos of clearly coloured, lighter and darker kinds.
extern const std::vector<LogoColour> kLogoColours;

struct Recording {
  std::vector<local::Picture> clean;   // the content without the logo
  std::vector<local::Picture> burned;  // with the logo blended in
  local::Picture reference;            // the logo over black
  Region region;                       // the logo's box with a margin
  int level = 0;                       // the logo's luma − 16
  int threshold = 0;                   // a quarter of the logo's full reference step, at least 1
};

// `frames` frames of moving, coloured content at width x height with a logo
// (thick letters and a ring with soft edges) of `colour` at `opacity` (0…1)
// near the top-right corner.
Recording MakeRecording(int width, int height, int frames, const LogoColour& colour, double opacity);

// Mean absolute difference of the chroma (or luma) bytes of the region's
// pixel pairs between two pictures.
double MeanChromaError(const local::Picture& a, const local::Picture& b, const Region& region);
double MeanLumaError(const local::Picture& a, const local::Picture& b, const Region& region);

// What a removal function leaves in the region, against the clean picture,
// averaged over the recording's frames.
struct Errors {
  double chroma = 0, luma = 0;
  local::Picture first;  // its output for frame 0
};

// Runs `function` (NoLogo, NoLogoM or NoLogoColor) over the recording through
// a host that knows the plug-in's functions: the recording's threshold and
// region, and for NoLogoM and NoLogoColor gain 1, the logo's level, offset 0.
Errors MeasureRemoval(local::LocalEnvironment& env, const Recording& recording, const std::string& function);

}  // namespace pramvix::quality
