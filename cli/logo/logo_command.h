#pragma once
#include <optional>
#include <string>
#include <vector>

#include "frame_view.h"

namespace pramvix::cli::logo {

// `pramvix logo [options] CLIP`, as parsed.
struct LogoCommandLine {
  std::string clip;
  std::string output = "logo.png";  // -o: the reference picture as PNG
  std::string y4mOutput;            // --y4m FILE: also as a one-frame Y4M
  std::string preview;              // --preview FILE.png
  bool json = false;
  bool help = false;
  bool quiet = false;               // -q: no note on standard error
  int first = 0, last = -1;         // --frames A:B
  int samples = 2000;               // --samples N
  std::optional<Box> region;        // --region X,Y,W,H
  std::string plugin;               // --plugin PATH (for the preview)
};

// A note for a reading in which most of the `read` frames repeated the one
// before (`repeats`), or nothing.
std::string RepeatedFramesNote(int read, int repeats);

// Throws UsageError.
LogoCommandLine ParseLogoCommandLine(const std::vector<std::string>& words);
std::string LogoUsageText();

// Runs the subcommand; `words` follow the word "logo". Returns the exit
// status; errors are thrown as RunCommand expects them.
int RunLogoCommand(const std::vector<std::string>& words);

}  // namespace pramvix::cli::logo
