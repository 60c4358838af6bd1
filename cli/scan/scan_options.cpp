#include "scan/scan_options.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "cli_error.h"
#include "option_words.h"
#include "plugin/function_table.h"

namespace pramvix::cli::scan {

namespace {

// The detection functions' arguments without the alternate clip, named as
// the function table names them.
constexpr size_t kArgumentCount = 9;
std::string ArgumentName(size_t i) { return FindFunction("IfNoLogo")->arguments[i == 0 ? 0 : i + 1].name; }

int Integer(const std::string& word, size_t i) {
  int value = 0;
  if (!ParseInt32(word, value)) {
    throw UsageError("scan: argument " + std::to_string(i + 1) + " (" + ArgumentName(i) +
                     ") must be an integer, not '" + word + "'");
  }
  return value;
}

double Seconds(const std::string& word, const std::string& option) {
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(word.c_str(), &end);
  if (word.empty() || *end != '\0' || !std::isfinite(v) || v < 0 || v > 1e6) {
    throw UsageError(option + " needs a number of seconds from 0 to 1000000, not '" + word + "'");
  }
  return v;
}

}  // namespace

const char* RuleName(LogoRule rule) { return rule == LogoRule::kIfLogo ? "IfLogo" : "IfNoLogo"; }

std::string ScanUsage() {
  return "usage: pramvix scan [options] CLIP LOGO_CLIP LOGO_FRAME FRAME_THRESHOLD LOGO_THRESHOLD X Y WIDTH HEIGHT\n"
         "\n"
         "Runs IfNoLogo's logo test (or IfLogo's) on every frame of CLIP and prints where the\n"
         "logo is present and where it is absent, as times and frame numbers.\n"
         "\n"
         "options:\n"
         "  --rule R          IfNoLogo (default) or IfLogo: whose test decides\n"
         "  --min-length S    merge segments shorter than S seconds into their neighbours (default 1)\n"
         "  --json            the segments as JSON instead of text\n"
         "  --csv FILE        every frame: frame,time,hits,misses,present\n"
         "  --chapters FILE   an FFmpeg metadata file with one chapter per segment\n"
         "  --cut-list FILE   the segments with the logo as an ffmpeg select/aselect expression\n"
         "  --plot FILE.png   a picture of the share of hits over time, segments shaded\n"
         "  --threads N       test frames on N threads at once (default: one per core)\n"
         "  -q                no progress report\n";
}

ScanOptions ParseScanOptions(const std::vector<std::string>& words) {
  ScanOptions options;
  const std::vector<std::string> positional = SplitOptions(words, [&](const std::string& word, auto value) {
    if (word == "--rule") {
      const std::string& rule = value();
      if (rule != "IfNoLogo" && rule != "IfLogo") throw UsageError("--rule is IfNoLogo or IfLogo, not '" + rule + "'");
      options.rule = rule == "IfLogo" ? LogoRule::kIfLogo : LogoRule::kIfNoLogo;
    } else if (word == "--min-length") {
      options.minLength = Seconds(value(), word);
    } else if (word == "--json") {
      options.json = true;
    } else if (word == "--csv") {
      options.csv = value();
    } else if (word == "--chapters") {
      options.chapters = value();
    } else if (word == "--cut-list") {
      options.cutList = value();
    } else if (word == "--plot") {
      options.plot = value();
    } else if (word == "--threads") {
      options.threads = ThreadCount(value());
    } else if (word == "-q" || word == "--quiet") {
      options.quiet = true;
    } else if (word == "--help" || word == "-h") {
      options.help = true;
      return false;
    } else {
      throw UsageError("scan: unknown option " + word);
    }
    return true;
  });
  if (options.help) return options;
  if (positional.size() != kArgumentCount) {
    throw UsageError("scan takes " + std::to_string(kArgumentCount) + " arguments, " +
                     std::to_string(positional.size()) + " given\n" + ScanUsage());
  }
  for (size_t i = 0; i < 2; ++i) {
    if (positional[i].empty()) throw UsageError("scan: argument " + std::to_string(i + 1) + " (" +
                                                ArgumentName(i) + ") must be a file name");
  }
  options.clip = positional[0];
  options.logoClip = positional[1];
  options.logoFrame = Integer(positional[2], 2);
  options.frameThreshold = Integer(positional[3], 3);
  options.logoThreshold = Integer(positional[4], 4);
  options.region = Region{Integer(positional[5], 5), Integer(positional[6], 6), Integer(positional[7], 7),
                          Integer(positional[8], 8)};
  return options;
}

}  // namespace pramvix::cli::scan
