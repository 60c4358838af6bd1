#include "scan/scan_command.h"

#include <unistd.h>

#include <cstdio>

#include "cli_error.h"
#include "command.h"
#include "command_line.h"
#include "frame_workers.h"
#include "png_io.h"
#include "progress.h"
#include "render.h"
#include "scan/detection.h"
#include "scan/exports.h"
#include "scan/plot.h"
#include "scan/scan_options.h"

namespace pramvix::cli::scan {

namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw CliError(path + ": cannot open for writing");
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) throw CliError(path + ": write error");
}

// Every frame's test, with progress on a terminal; on several threads, each
// testing frames ahead of the timeline, which takes them in order.
Timeline Detect(const ScanOptions& options) {
  Detection detection(options);
  Timeline timeline;
  timeline.fpsNumerator = detection.Info().fps_numerator;
  timeline.fpsDenominator = detection.Info().fps_denominator;
  Progress progress(!options.quiet && isatty(STDERR_FILENO));
  const int threads = ThreadsToRun(options.threads);
  if (threads == 1) {
    for (int n = 0; n < kUnknownLength && detection.HasFrame(n); ++n) {
      timeline.frames.push_back(detection.Test(n));
      progress.Update(n + 1);
    }
    return timeline;
  }
  detection.KeepAhead(RenderWindow(threads));
  FrameWorkers<FrameRecord> workers(threads, RenderWindow(threads), 0, kUnknownLength - 1,
                                    [&detection](int n, FrameRecord& record) {
                                      if (!detection.HasFrame(n)) return false;
                                      record = detection.Test(n);
                                      return true;
                                    });
  for (FrameRecord record; workers.Next(record);) {
    timeline.frames.push_back(record);
    progress.Update(static_cast<int>(timeline.frames.size()));
  }
  return timeline;
}

}  // namespace

int RunScan(const std::vector<std::string>& words) {
  const ScanOptions options = ParseScanOptions(words);
  if (options.help) {
    std::fputs(ScanUsage().c_str(), stdout);
    return kExitOk;
  }
  if (options.rule == LogoRule::kIfNoLogo && options.frameThreshold <= 0) {
    throw UsageError("scan: IfNoLogo's test never finds the logo with a frame threshold of 0 or less; give one above 0");
  }
  const Timeline timeline = Detect(options);
  const std::vector<Segment> segments = MergeShort(RunsOf(timeline.frames), timeline.FramesIn(options.minLength));

  if (!options.csv.empty()) WriteText(options.csv, CsvOf(timeline));
  if (!options.chapters.empty()) WriteText(options.chapters, ChaptersOf(timeline, segments));
  if (!options.cutList.empty()) WriteText(options.cutList, CutListOf(timeline, segments));
  if (!options.plot.empty()) {
    const RGBImage image = Plot(timeline, segments);
    if (!WriteRGBPNG(image.rgb.data(), image.width, image.height, options.plot)) {
      throw CliError(options.plot + ": cannot write the PNG picture");
    }
  }
  const std::string report = options.json
                                 ? SegmentsJson(timeline, segments, ScanFacts{RuleName(options.rule), options.minLength})
                                 : SegmentsText(timeline, segments);
  if (std::fputs(report.c_str(), stdout) < 0 || std::fflush(stdout) != 0) throw CliError("standard output: write error");
  return kExitOk;
}

}  // namespace pramvix::cli::scan
