#pragma once
// What the scan writes: the per-frame table, the segments for people and
// programs, and files ffmpeg reads to mark or cut the video.
#include <string>
#include <vector>

#include "scan/segments.h"
#include "scan/timeline.h"

namespace pramvix::cli::scan {

// One line per frame: frame,time,hits,misses,present (time in seconds).
std::string CsvOf(const Timeline& timeline);

// One line per segment: state, start - end as clock times, frame numbers, length.
std::string SegmentsText(const Timeline& timeline, const std::vector<Segment>& segments);

struct ScanFacts {
  std::string rule;        // "IfNoLogo" or "IfLogo"
  double minLength = 0;    // seconds
};
std::string SegmentsJson(const Timeline& timeline, const std::vector<Segment>& segments, const ScanFacts& facts);

// An FFmpeg metadata file: one chapter per segment, in the clip's own time
// base, so chapter edges fall exactly on frames.
std::string ChaptersOf(const Timeline& timeline, const std::vector<Segment>& segments);

// The present segments as an expression for ffmpeg's select and aselect
// filters: a sum of between(t,a,b), each bound halfway between two frames so
// rounding cannot move a frame across it. "0" when the logo is never present.
std::string CutListOf(const Timeline& timeline, const std::vector<Segment>& segments);

}  // namespace pramvix::cli::scan
