#pragma once
// Where the logo is present and where absent, as runs of frames, with runs
// too short to act on merged into their neighbours.
#include <vector>

#include "scan/timeline.h"

namespace pramvix::cli::scan {

struct Segment {
  bool present = false;
  int first = 0;  // frame numbers, both included
  int last = 0;
  int Length() const { return last - first + 1; }
};

// The runs of equal decisions, in order; none for an empty timeline.
std::vector<Segment> RunsOf(const std::vector<FrameRecord>& frames);

// Merges every run shorter than minFrames into its neighbours, shortest first
// (the earlier of equal ones first): the run takes its neighbours' state and
// joins them. Stops when no run is shorter or one run is left.
std::vector<Segment> MergeShort(std::vector<Segment> runs, int minFrames);

}  // namespace pramvix::cli::scan
