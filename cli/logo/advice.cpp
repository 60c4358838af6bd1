#include "advice.h"

#include <cstdio>
#include <sstream>

namespace pramvix::cli::logo {

namespace {

// Full-strength lumas of the logo's parts that differ by more than this
// cannot all be removed with one level.
constexpr int kMixedLuma = 40;

std::string Region(const Box& b, const char* sep) {
  return std::to_string(b.x) + sep + std::to_string(b.y) + sep + std::to_string(b.width) + sep + std::to_string(b.height);
}

std::string Fixed(double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  return text;
}

// Shell quoting for the printed command lines, only where needed.
std::string Quoted(const std::string& word) {
  if (word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_./,:=+") == std::string::npos &&
      !word.empty()) {
    return word;
  }
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string JSONString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
    else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else out += static_cast<char>(c);
  }
  return out + "\"";
}

struct Lines {
  std::string noLogo, noLogoM, noLogoColor, ifLogo, ifNoLogo, scan, scriptNoLogo, scriptNoLogoM, scriptNoLogoColor;
};

Lines CommandLines(const Analysis& a, const AdviceNames& names) {
  const Reference& ref = a.reference;
  const NoLogoMSettings m = AdviseNoLogoM(ref);
  const std::string clip = Quoted(names.clip), logo = Quoted(names.reference);
  const std::string region = Region(ref.region, " "), t = std::to_string(ref.threshold);
  const std::string mArgs = Fixed(m.gain, 2) + " " + std::to_string(m.level) + " " + std::to_string(m.offset);
  Lines lines;
  lines.noLogo = "pramvix NoLogo " + clip + " " + logo + " 0 " + t + " " + region + " -o clean.y4m";
  lines.noLogoM = "pramvix NoLogoM " + clip + " " + logo + " 0 " + t + " " + region + " " + mArgs + " -o clean.y4m";
  // NoLogoColor also restores the chroma the logo pulled towards its own
  // colour (towards grey for a white logo): the first choice for any logo.
  lines.noLogoColor =
      "pramvix NoLogoColor " + clip + " " + logo + " 0 " + t + " " + region + " " + mArgs + " -o clean.y4m";
  lines.ifLogo = "pramvix IfLogo " + clip + " OTHER.y4m " + logo + " 0 " + std::to_string(a.ifLogo.frameThreshold) + " " +
                 std::to_string(a.ifLogo.logoThreshold) + " " + region + " -o out.y4m";
  lines.ifNoLogo = "pramvix IfNoLogo " + clip + " OTHER.y4m " + logo + " 0 " + std::to_string(a.ifNoLogo.frameThreshold) +
                   " " + std::to_string(a.ifNoLogo.logoThreshold) + " " + region + " -o out.y4m";
  // The scan runs IfNoLogo's test over the clip: where the ad breaks are.
  lines.scan = "pramvix scan " + clip + " " + logo + " 0 " + std::to_string(a.ifNoLogo.frameThreshold) + " " +
               std::to_string(a.ifNoLogo.logoThreshold) + " " + region;
  const std::string source = "ImageSource(\"" + names.reference + "\").ConvertToYUY2(matrix=\"Rec601\")";
  const std::string regionComma = Region(ref.region, ", ");
  lines.scriptNoLogo = "NoLogo(last, " + source + ", 0, " + t + ", " + regionComma + ")";
  lines.scriptNoLogoM = "NoLogoM(last, " + source + ", 0, " + t + ", " + regionComma + ", " + Fixed(m.gain, 2) + ", " +
                        std::to_string(m.level) + ", " + std::to_string(m.offset) + ")";
  lines.scriptNoLogoColor = "NoLogoColor(last, " + source + ", 0, " + t + ", " + regionComma + ", " +
                            Fixed(m.gain, 2) + ", " + std::to_string(m.level) + ", " + std::to_string(m.offset) + ")";
  return lines;
}

std::string DetectionText(const char* name, const DetectionAdvice& d) {
  std::string text = std::string("  ") + name + ": frame threshold " + std::to_string(d.frameThreshold) + ", logo threshold " +
                     std::to_string(d.logoThreshold);
  if (d.frames == 0) return text + " (no frames kept to check them on)\n";
  if (!d.separated) {
    return text + " (all " + std::to_string(d.frames) +
           " frames checked looked alike, so the split between frames with and without the logo is not measured)\n";
  }
  return text + " (on " + std::to_string(d.frames) + " sampled frames, " + std::to_string(d.withLogo) +
         " with the logo: the test agrees on " + std::to_string(d.agreeing) + ")\n";
}

std::string DetectionJSON(const DetectionAdvice& d) {
  return "{\"frame_threshold\": " + std::to_string(d.frameThreshold) + ", \"logo_threshold\": " + std::to_string(d.logoThreshold) +
         ", \"frames_checked\": " + std::to_string(d.frames) + ", \"frames_with_logo\": " + std::to_string(d.withLogo) +
         ", \"frames_agreeing\": " + std::to_string(d.agreeing) + ", \"measured\": " + (d.separated ? "true" : "false") + "}";
}

}  // namespace

NoLogoMSettings AdviseNoLogoM(const Reference& reference) {
  NoLogoMSettings m;
  m.level = reference.logoLuma - 16 < 1 ? 1 : reference.logoLuma - 16;
  m.white = m.level >= 210;
  return m;
}

std::string AdviceText(const Analysis& a, const AdviceNames& names) {
  const Reference& ref = a.reference;
  const NoLogoMSettings m = AdviseNoLogoM(ref);
  const Lines lines = CommandLines(a, names);
  std::ostringstream out;
  out << "frames: " << a.framesRead << " sampled, " << a.fitFrames << " with the logo over plain surroundings used for the fit\n";
  out << "region: x " << ref.region.x << ", y " << ref.region.y << ", width " << ref.region.width << ", height "
      << ref.region.height << (a.searched ? " (found)" : " (given)") << "\n";
  out << "logo: " << ref.logoPixels << " pixels, luma " << ref.logoLuma << " at full strength, colour U " << ref.logoU
      << " V " << ref.logoV << ", typical error of the reference luma " << Fixed(ref.medianError, 2) << "\n";
  if (ref.logoLumaHigh - ref.logoLumaLow > kMixedLuma) {
    out << "  its parts differ: luma " << ref.logoLumaLow << " to " << ref.logoLumaHigh
        << " at full strength (a coloured part on a white one, say); the removal assumes one luma, so parts of "
           "another keep a trace\n";
  }
  out << "threshold: " << ref.threshold << " (the height of the faintest logo pixel above the black 16 around it)\n";
  out << "NoLogoM: level " << m.level << ", gain " << Fixed(m.gain, 2) << ", offset " << m.offset
      << (m.white ? " (the logo is near white: NoLogo fits as well)\n"
                  : " (the logo is not white: NoLogo, which assumes luma 238, leaves a trace; use NoLogoM)\n");
  out << "logo tests:\n" << DetectionText("IfLogo", a.ifLogo) << DetectionText("IfNoLogo", a.ifNoLogo);
  out << "commands (NoLogoColor restores the colour under the logo as well; the others only its luma):\n  "
      << lines.noLogoColor << "\n  " << (m.white ? lines.noLogo : lines.noLogoM) << "\n  "
      << lines.ifLogo << "\n  " << lines.ifNoLogo << "\n  " << lines.scan << "\n";
  out << "AviSynth:\n  " << lines.scriptNoLogoColor << "\n  " << (m.white ? lines.scriptNoLogo : lines.scriptNoLogoM)
      << "\n";
  return out.str();
}

std::string AdviceJSON(const Analysis& a, const AdviceNames& names) {
  const Reference& ref = a.reference;
  const NoLogoMSettings m = AdviseNoLogoM(ref);
  const Lines lines = CommandLines(a, names);
  std::ostringstream out;
  out << "{\n  \"frames_sampled\": " << a.framesRead << ",\n  \"frames_fitted\": " << a.fitFrames
      << ",\n  \"region\": {\"x\": " << ref.region.x << ", \"y\": " << ref.region.y << ", \"width\": " << ref.region.width
      << ", \"height\": " << ref.region.height << ", \"found\": " << (a.searched ? "true" : "false") << "}"
      << ",\n  \"reference\": " << JSONString(names.reference) << ",\n  \"logo_pixels\": " << ref.logoPixels
      << ",\n  \"logo_luma\": " << ref.logoLuma << ",\n  \"logo_luma_range\": [" << ref.logoLumaLow << ", " << ref.logoLumaHigh << "],\n  \"logo_chroma\": {\"u\": " << ref.logoU << ", \"v\": " << ref.logoV << "}"
      << ",\n  \"median_error\": " << Fixed(ref.medianError, 3) << ",\n  \"threshold\": " << ref.threshold
      << ",\n  \"nologom\": {\"level\": " << m.level << ", \"gain\": " << Fixed(m.gain, 2) << ", \"offset\": " << m.offset
      << ", \"white\": " << (m.white ? "true" : "false") << "}"
      << ",\n  \"iflogo\": " << DetectionJSON(a.ifLogo) << ",\n  \"ifnologo\": " << DetectionJSON(a.ifNoLogo)
      << ",\n  \"commands\": [" << JSONString(lines.noLogo) << ", " << JSONString(lines.noLogoM) << ", " << JSONString(lines.ifLogo)
      << ", " << JSONString(lines.ifNoLogo) << ", " << JSONString(lines.noLogoColor) << ", " << JSONString(lines.scan) << "]"
      << ",\n  \"avisynth\": [" << JSONString(lines.scriptNoLogo) << ", " << JSONString(lines.scriptNoLogoM) << ", "
      << JSONString(lines.scriptNoLogoColor) << "]\n}\n";
  return out.str();
}

}  // namespace pramvix::cli::logo
