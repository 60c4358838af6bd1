#include "logo_command.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "advice.h"
#include "analysis.h"
#include "byte_source.h"
#include "cli_error.h"
#include "option_words.h"
#include "local_environment.h"
#include "plugin_path.h"
#include "png_io.h"
#include "preview.h"
#include "y4m.h"

namespace pramvix::cli::logo {

namespace {

long Number(const std::string& text, const std::string& option, long lo, long hi) {
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < lo || value > hi) {
    throw UsageError(option + " needs a whole number from " + std::to_string(lo) + " to " + std::to_string(hi) + ", not '" + text + "'");
  }
  return value;
}

Box ParseRegion(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == ',') parts.emplace_back();
    else parts.back() += c;
  }
  if (parts.size() != 4) throw UsageError("--region needs X,Y,W,H, not '" + text + "'");
  return {static_cast<int>(Number(parts[0], "--region", 0, 16384)), static_cast<int>(Number(parts[1], "--region", 0, 16384)),
          static_cast<int>(Number(parts[2], "--region", 2, 16384)), static_cast<int>(Number(parts[3], "--region", 2, 16384))};
}

bool HasY4MName(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& ch : tail) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return tail == ".y4m";
}

void WriteOrFail(bool written, const std::string& path) {
  if (!written) throw CliError(path + ": cannot write the picture");
}

}  // namespace

std::string LogoUsageText() {
  return "usage: pramvix logo [options] CLIP\n"
         "\n"
         "Finds the logo in a Y4M 4:2:2 recording (- for standard input) and writes its reference\n"
         "picture, the logo over black at the recording's size, with the region and settings for\n"
         "the filters. It needs frames in which the logo's surroundings are plain (dark or calm\n"
         "scenes); frames without the logo are recognised and left out.\n"
         "\n"
         "It needs frames spread over the recording, not every frame: from an encoded recording,\n"
         "let the decoder hand over its key frames only, which is many times faster:\n"
         "  ffmpeg -skip_frame nokey -i in.ts -fps_mode passthrough -pix_fmt yuv422p -f yuv4mpegpipe - | pramvix logo -\n"
         "(-fps_mode passthrough, -vsync passthrough before ffmpeg 5.1, keeps ffmpeg from repeating them.)\n"
         "\n"
         "options:\n"
         "  -o FILE.png        the reference picture (default logo.png)\n"
         "  --y4m FILE         the reference picture also as a one-frame Y4M\n"
         "  --preview FILE.png a frame with the region outlined, the same after NoLogoColor, and the picture\n"
         "  --json             the report as JSON\n"
         "  --frames A:B       only frames A to B (both included); A: runs to the end\n"
         "  --samples N        look at up to N frames spread over the clip (default 2000, at most 4000)\n"
         "  --region X,Y,W,H   the logo's region: no search\n"
         "  --plugin PATH      the plug-in, for the preview\n"
         "  -q, --quiet        no note on standard error, only errors\n";
}

std::string RepeatedFramesNote(int read, int repeats) {
  if (read < 50 || 2 * static_cast<long>(repeats) <= read) return "";
  return "note: " + std::to_string(repeats) + " of the " + std::to_string(read) +
         " frames read repeat the frame before them. If ffmpeg decoded key frames only, add -fps_mode passthrough "
         "(-vsync passthrough before ffmpeg 5.1) so that it hands each over once: the pipe then carries far fewer frames.\n";
}

LogoCommandLine ParseLogoCommandLine(const std::vector<std::string>& words) {
  LogoCommandLine command;
  const std::vector<std::string> positional = SplitOptions(words, [&](const std::string& word, auto value) {
    if (word == "-o" || word == "--output") {
      command.output = value();
    } else if (word == "--y4m") {
      command.y4mOutput = value();
    } else if (word == "--preview") {
      command.preview = value();
    } else if (word == "--json") {
      command.json = true;
    } else if (word == "--frames") {
      ParseFrameRange(value(), command.first, command.last);
    } else if (word == "--samples") {
      command.samples = static_cast<int>(Number(value(), word, 8, kMaxSampleCap));
    } else if (word == "--region") {
      command.region = ParseRegion(value());
    } else if (word == "--plugin") {
      command.plugin = value();
    } else if (word == "-q" || word == "--quiet") {
      command.quiet = true;
    } else if (word == "--help" || word == "-h") {
      command.help = true;
    } else {
      throw UsageError("logo: unknown option " + word);
    }
    return true;
  });
  if (command.help) return command;
  // A PNG under a Y4M file's name would reach AviSynth's image reader, which
  // goes by the name.
  for (const std::string* picture : {&command.output, &command.preview}) {
    if (HasY4MName(*picture)) {
      throw UsageError("logo: " + *picture + ": -o and --preview write PNG pictures; for the reference as Y4M, add --y4m FILE");
    }
  }
  if (positional.size() != 1) throw UsageError("logo takes one clip (a Y4M file or -); pramvix logo --help");
  command.clip = positional[0];
  return command;
}

int RunLogoCommand(const std::vector<std::string>& words) {
  const LogoCommandLine command = ParseLogoCommandLine(words);
  if (command.help) {
    std::fputs(LogoUsageText().c_str(), stdout);
    return 0;
  }
  // Find the plug-in before the long read, so that a missing one fails early.
  std::string plugin;
  if (!command.preview.empty()) plugin = FindPlugin(command.plugin);

  auto reader = std::make_unique<Y4MReader>(OpenSource(command.clip), command.clip == "-" ? "standard input" : command.clip);
  FrameSampler sampler(std::move(reader), SampleRule{command.first, command.last, command.samples});
  AnalysisOptions options;
  options.region = command.region;
  // Said whether or not a logo is found: repeated frames may be why not.
  auto noteRepeats = [&] {
    const std::string note = RepeatedFramesNote(sampler.ReadInOrder(), sampler.Repeats());
    if (!command.quiet && !note.empty()) std::fputs(note.c_str(), stderr);
  };
  Analysis analysis;
  try {
    analysis = AnalyseClip(sampler, options);
  } catch (const NoLogoFound&) {
    noteRepeats();
    throw;
  }
  noteRepeats();

  WriteOrFail(WriteYUY2AsPNG(analysis.reference.picture, command.output), command.output);
  if (!command.y4mOutput.empty()) {
    std::FILE* out = std::fopen(command.y4mOutput.c_str(), "wb");
    if (!out) throw CliError(command.y4mOutput + ": cannot open for writing");
    Y4MFormat format = sampler.Format();
    try {
      Y4MWriter writer(out, command.y4mOutput, format);
      writer.WriteFrame(analysis.reference.picture.bytes.data(), analysis.reference.picture.rowSize);
    } catch (...) {
      std::fclose(out);
      throw;
    }
    if (std::fclose(out) != 0) throw CliError(command.y4mOutput + ": write error");
  }
  if (!command.preview.empty()) {
    if (analysis.sampleNumber < 0) throw CliError("no frame to preview");
    local::LocalEnvironment host;
    try {
      host.LoadPlugin(plugin);
    } catch (const local::HostError& e) {
      throw CliError(e.what());
    }
    const NoLogoMSettings m = AdviseNoLogoM(analysis.reference);
    WriteOrFail(WriteYUY2AsPNG(MakePreview(host, analysis.sample, analysis.reference.picture, analysis.reference.region,
                                           analysis.reference.threshold, Strength{m.level, m.gain}),
                               command.preview),
                command.preview);
  }
  AdviceNames names;
  names.clip = command.clip == "-" ? "in.y4m" : command.clip;
  names.reference = command.output;
  const std::string report = command.json ? AdviceJSON(analysis, names) : AdviceText(analysis, names);
  std::fputs(report.c_str(), stdout);
  if (!command.preview.empty() && !command.json) {
    std::printf("preview: %s (frame %d)\n", command.preview.c_str(), analysis.sampleNumber);
  }
  return 0;
}

}  // namespace pramvix::cli::logo
