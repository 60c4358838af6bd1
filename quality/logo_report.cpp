// The logo analysis measured at full HD, for docs/logo-analysis.md (run by
// scripts/logo-quality.sh): writes DIR/figures.md (a table) and
// DIR/preview.png, and exits 1 when a recording misses a target.
//
//   pramvix_logo_report DIR [FRAMES [CASE]]   (CASE: one case by its number, when tuning)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "cli_error.h"
#include "logo/analysis.h"
#include "logo/preview.h"
#include "logo_cases.h"
#include "png_io.h"

using namespace pramvix;
using cli::logo::Box;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pramvix_logo_report DIR [FRAMES [CASE]]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const int frames = argc > 2 ? std::atoi(argv[2]) : 500;
  const int only = argc > 3 ? std::atoi(argv[3]) : -1;
  local::LocalEnvironment host;
  host.LoadPlugin(PRAMVIX_PLUGIN_PATH);
  std::ofstream table(dir + "/figures.md");
  table << "| recording | true box | found region | beyond the box (px, most on a side) | reference luma within ±3 | "
           "NoLogo error, estimated / true reference | frames sampled / fitted | analysis time |\n"
        << "|---|---|---|---|---|---|---|---|\n";
  bool previewWritten = false, allMet = true;
  const auto& cases = quality::LogoCases();
  for (size_t k = 0; k < cases.size(); ++k) {
    if (!cases[k].inReport || (only >= 0 && static_cast<size_t>(only) != k)) continue;
    const char* name = cases[k].title;
    const quality::RecordingPlan plan = quality::FullHD(cases[k].plan, frames);
    const quality::SyntheticRecording recording(plan);
    const std::string path = dir + "/recording.y4m";
    recording.WriteY4M(path);
    const auto start = std::chrono::steady_clock::now();
    cli::logo::FrameSampler sampler(std::make_unique<cli::Y4MReader>(cli::OpenSource(path), path), {});
    cli::logo::Analysis analysis;
    try {
      analysis = cli::logo::AnalyseClip(sampler, {});
    } catch (const cli::CliError& e) {
      table << "| " << name << " | refused: " << e.what() << " |||||||\n";
      std::fprintf(stderr, "%s: refused: %s\n", name, e.what());
      allMet = false;
      continue;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const Box truth = recording.TrueBox(), found = analysis.reference.region;
    const int beyond = std::max({truth.x - found.x, truth.y - found.y, found.Right() - truth.Right(), found.Bottom() - truth.Bottom()});
    const double share = quality::ShareWithin3(recording, analysis.reference.picture);
    const double estimated = quality::NoLogoError(host, recording, analysis.reference.picture, analysis.reference.threshold, found);
    const double ideal =
        quality::NoLogoError(host, recording, recording.TrueReference(), 1, cli::logo::FitBoxFor(truth, 3, plan.width, plan.height));
    char row[512];
    std::snprintf(row, sizeof row, "| %s | %d,%d %dx%d | %d,%d %dx%d%s | %d | %.1f %% | %.2f / %.2f (%.2fx) | %d / %d | %.1f s |\n", name,
                  truth.x, truth.y, truth.width, truth.height, found.x, found.y, found.width, found.height,
                  found.Contains(truth) ? "" : " (misses part)", beyond, 100 * share, estimated, ideal, estimated / ideal,
                  analysis.framesRead, analysis.fitFrames, seconds);
    table << row;
    const bool met = found.Contains(truth) && beyond <= 8 && share >= 0.95 && estimated <= 1.25 * ideal + 0.05;
    if (!met) std::fprintf(stderr, "%s: a target missed\n", name);
    allMet = allMet && met;
    if (!previewWritten && plan.logoY != 235 && analysis.sampleNumber >= 0) {
      const Box crop = Grow(found, 120, plan.width, plan.height);
      auto cut = [&](const local::Picture& p) {
        local::Picture out = local::Picture::YUY2(crop.width & ~1, crop.height);
        for (int y = 0; y < out.height; ++y) {
          for (int j = 0; j < out.rowSize; ++j) out.Byte(y, j) = p.Byte(crop.y + y, 2 * (crop.x & ~1) + j);
        }
        return out;
      };
      local::Picture frame = cut(analysis.sample), reference = cut(analysis.reference.picture);
      const Box local{found.x - (crop.x & ~1), found.y - crop.y, found.width, found.height};
      local::Picture preview = cli::logo::MakePreview(host, frame, reference, local, analysis.reference.threshold);
      previewWritten = cli::WriteYUY2AsPNG(preview, dir + "/preview.png");
    }
  }
  std::remove((dir + "/recording.y4m").c_str());
  return allMet ? 0 : 1;
}
