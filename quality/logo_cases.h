#pragma once
// The recordings that measure the logo analysis (small in the tests, full HD
// in docs/logo-analysis.md) and the measures against their truth.
#include <string>
#include <vector>

#include "local_environment.h"
#include "logo_recording.h"

namespace pramvix::quality {

struct LogoCase {
  const char* name;   // for a test's name
  const char* title;  // for the report's table
  RecordingPlan plan; // at the tests' size
  bool inReport;      // also measured at full HD
};

const std::vector<LogoCase>& LogoCases();

// The same recording at 1920x1080 with `frames` frames and a logo to scale.
RecordingPlan FullHD(RecordingPlan plan, int frames);

// Share of the logo's pixels whose reference luma is within 3 of the truth.
double ShareWithin3(const SyntheticRecording& recording, const local::Picture& reference);

// NoLogo's mean absolute error in the logo's box, over up to 24 frames with
// the logo, with the given reference, threshold and region.
double NoLogoError(local::LocalEnvironment& host, const SyntheticRecording& recording, const local::Picture& reference,
                   int threshold, const cli::logo::Box& region);

}  // namespace pramvix::quality
