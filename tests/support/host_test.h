#pragma once
// A local host with the plug-in's functions registered, and short ways to run
// a script function and look at what it returns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "local_environment.h"
#include "local_frame.h"
#include "memory_clip.h"
#include "picture.h"

namespace pramvix::testing {

using local::HostError;
using local::LocalEnvironment;
using local::LocalFrame;
using local::MemoryClip;
using local::Picture;

// Live clips and frames of the local host, to show that nothing is left behind.
struct LiveCounts {
  int clips = MemoryClip::Live();
  int frames = LocalFrame::Live();
  bool operator==(const LiveCounts& o) const { return clips == o.clips && frames == o.frames; }
};

class HostTest : public ::testing::Test {
 protected:
  HostTest();

  // Builds the filter and returns the picture of its frame n.
  Picture Run(const std::string& function, const std::vector<AVSValue>& args, int n = 0);
  // The text of the error that building the filter or requesting frame n
  // raises; empty when there is none.
  std::string ErrorOf(const std::string& function, const std::vector<AVSValue>& args, int n = 0);

  LocalEnvironment env;
};

PClip ClipOf(const Picture& picture, int pitchPadding = 0);
// A YUY2 picture of these luma rows, chroma 128.
Picture Rows(const std::vector<std::vector<int>>& lumas);
inline Picture Row(const std::vector<int>& lumas) { return Rows({lumas}); }
// Frames first … last of a clip, as pictures.
std::vector<Picture> FramesOf(const PClip& clip, IScriptEnvironment* env, int first, int last);

}  // namespace pramvix::testing
