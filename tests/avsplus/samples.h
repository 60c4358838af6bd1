#pragma once
// Generated content for the real-host tests, and one sample call per script
// function. Rows for functions the library does not register are skipped;
// every registered function must have its row.
#include <string>
#include <vector>

namespace pramvix::avsplus_test {

// Clips of one script: `main` (colour bars, each frame with its number written
// in and the integer property kMarkProperty = kMark), `alt` (main mirrored)
// and `logo` (a light block on black: the reference picture), all 100x48 YUY2
// from `source`, then all given `shape`.
std::string Clips(const std::string& source, const std::string& shape = "");
constexpr const char* kMarkProperty = "pramvix_mark";
constexpr int kMark = 7;

// 24 frames of colour bars, numbered.
extern const char* const kBars;
// Fields of long colour bars: alternating parity, and more audio samples than
// a 32-bit position reaches.
extern const char* const kLongFields;
// A crop whose frames keep the parent's pitch, well beyond their row size.
extern const char* const kCropped;

struct SampleCall {
  const char* function;
  const char* args;         // script arguments; the names are clips of Clips()
  const char* notYUY2Text;  // what the filter says of a first clip that is not YUY2
};

extern const std::vector<SampleCall> kSampleCalls;

// An error a frame request of a script call must raise with exactly this text.
struct ErrorCase {
  const char* function;
  const char* args;
  const char* text;
};

extern const std::vector<ErrorCase> kErrorCases;

}  // namespace pramvix::avsplus_test
