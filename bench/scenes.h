#pragma once
// Broadcast-sized pictures for the benchmarks, so that every filter does its
// real work: natural-looking content (smooth gradients, mild noise) with a
// logo blended in, and the logo's reference picture (the logo over black).
#include "base/region.h"
#include "base/yuy2.h"

#include "local_environment.h"
#include "picture.h"

namespace pramvix::bench {

struct FrameSize {
  const char* label;  // "1080p", "576p": part of every benchmark name
  int width;
  int height;
  int logoWidth;  // the region of a typical channel logo
  int logoHeight;
};

// 1920x1080 with a 200x80 logo region, 720x576 with a 100x50 one.
extern const FrameSize kFrameSizes[2];

// The region filters' threshold: the reference luma step that makes a pixel
// logo (NoLogo, NoLogoM, LogoMask, AddLogo) or a main-frame step a hit
// (IfLogo, IfNoLogo).
constexpr int kThreshold = 20;

struct Scene {
  local::LocalEnvironment env;  // knows the plug-in's functions
  Region region;                // where the filters work
  local::Picture clean;         // the content without a logo
  local::Picture main;          // the same content with the logo blended in
  local::Picture reference;     // the logo over black (luma 16)
  PClip cleanClip, mainClip, referenceClip;
  double logoShare = 0;  // of the region's pixels, by the filters' own logo test
};

// Region filters: a logo of thick letters and a ring near the top-right corner,
// covering about 40 % of its region; threshold 20 tells logo from black.
Scene& LogoScene(const FrameSize& size);
// NoLogoAuto: blobs over the whole frame covering about `percent` % of it;
// the region is the part of the frame NoLogoAuto walks.
Scene& AutoScene(const FrameSize& size, int percent);

// Rows of a picture (packed without padding), for calling kernels directly.
MutableFrame RowsOf(local::Picture& picture);
ConstFrame ReadRowsOf(const local::Picture& picture);

}  // namespace pramvix::bench
