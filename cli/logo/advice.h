#pragma once
#include <string>

#include "analysis.h"

namespace pramvix::cli::logo {

// Names used in the command lines the advice prints.
struct AdviceNames {
  std::string clip = "in.y4m";
  std::string reference = "logo.png";
};

// NoLogoM settings for the found logo: level is the logo's luma above 16 at
// full strength; the written picture is in that scale, so the gain is 1.
struct NoLogoMSettings {
  int level = 222;
  double gain = 1.0;
  int offset = 0;
  bool white = true;  // close enough to NoLogo's white (luma 238) that NoLogo fits
};
NoLogoMSettings AdviseNoLogoM(const Reference& reference);

// The report for people, and the same as one JSON object for programs.
std::string AdviceText(const Analysis& analysis, const AdviceNames& names);
std::string AdviceJSON(const Analysis& analysis, const AdviceNames& names);

}  // namespace pramvix::cli::logo
