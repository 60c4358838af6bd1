#include "scan/scan_command.h"

#include <unistd.h>

#include <cstdio>

#include "base/simd.h"
#include "cli_error.h"
#include "command.h"
#include "local_environment.h"
#include "png_io.h"
#include "progress.h"
#include "scan/exports.h"
#include "scan/plot.h"
#include "scan/scan_options.h"
#include "shared_clips.h"
#include "y4m_clip.h"

namespace pramvix::cli::scan {

namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw CliError(path + ": cannot open for writing");
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) throw CliError(path + ": write error");
}

// Whether the clip has frame n: by its count, or by reading a pipe forward.
bool HasFrame(IClip& clip, Y4MClip* stream, int n) {
  const int count = clip.GetVideoInfo().num_frames;
  if (count != kUnknownLength) return n < count;
  return stream && stream->HasFrame(n);
}

// Every frame's test, as the filter of the options' rule runs it.
Timeline Detect(const ScanOptions& options) {
  local::LocalEnvironment host;
  SharedClips clips;
  const PClip clip = clips.Open(options.clip);
  const PClip logo = clips.Open(options.logoClip);
  const VideoInfo& vi = clip->GetVideoInfo();
  const VideoInfo& logoInfo = logo->GetVideoInfo();
  // The filters' construction checks, with their texts.
  if (logoInfo.width != vi.width || logoInfo.height != vi.height || logoInfo.pixel_type != vi.pixel_type) {
    host.ThrowError("If Luma Logo test: Incompatible clips");
  }
  Timeline timeline;
  timeline.fpsNumerator = vi.fps_numerator;
  timeline.fpsDenominator = vi.fps_denominator;
  auto* stream = dynamic_cast<Y4MClip*>(clip.get());
  Progress progress(!options.quiet && isatty(STDERR_FILENO));
  const Simd simd = BestSimd();
  for (int n = 0; n < kUnknownLength && HasFrame(*clip, stream, n); ++n) {
    PVideoFrame frame = clip->GetFrame(n, &host);
    const PVideoFrame logoFrame = logo->GetFrame(options.logoFrame, &host);
    const LogoFrameTest test = TestLogoFrame(options.rule, frame, logo, logoFrame, options.region,
                                             options.frameThreshold, options.logoThreshold, simd, &host);
    timeline.frames.push_back(FrameRecord{test.totals.hits, test.totals.misses, test.passes});
    progress.Update(n + 1);
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
