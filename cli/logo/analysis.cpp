#include "analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <future>
#include <memory>

#include "logo_fit.h"
#include "read_ahead.h"
#include "region_search.h"
#include "y4m.h"

namespace pramvix::cli::logo {

namespace {

constexpr int kSearchMargin = 10;  // fit box around a found logo, kept small to stay off black borders
constexpr int kRegionMargin = 8;   // fit box around a given region
constexpr int kMinFrames = 8;
constexpr double kTrustedError = 3;  // the most typical error of a reference's luma that is trusted
// Frames read ahead: enough to ride out a look at the statistics (a few
// milliseconds) without the reading stopping, a few frames' memory.
constexpr int kReadAhead = 6;

std::string RegionText(const Box& b) {
  return std::to_string(b.x) + "," + std::to_string(b.y) + "," + std::to_string(b.width) + "," +
         std::to_string(b.height);
}

local::Picture ToYUY2(const FrameView& frame) {
  local::Picture picture{2 * frame.width, frame.height, std::vector<uint8_t>(static_cast<size_t>(frame.width) * frame.height * 2)};
  for (int r = 0; r < frame.height; ++r) {
    for (int c = 0; c < frame.width; c += 2) {
      uint8_t* out = &picture.bytes[static_cast<size_t>(r) * picture.rowSize + 2 * c];
      out[0] = frame.Luma(c, r), out[1] = frame.ChromaU(c / 2, r), out[2] = frame.Luma(c + 1, r), out[3] = frame.ChromaV(c / 2, r);
    }
  }
  return picture;
}

// A fit with the crops of its box and a frame that showed the logo.
struct FitRun {
  FitRun(const Box& box, int width, int height) : fit(box, width, height) { crops.Reset(box); }
  // True when the frame showed the logo over plain surroundings.
  bool Add(const FrameView& frame) {
    const int before = fit.LogoFrames();
    fit.Add(frame);
    crops.Offer(frame);
    return fit.LogoFrames() > before;
  }
  LogoFit fit;
  CropStore crops;
  // Frames that showed the logo, for the preview: those at the 1st, 2nd,
  // 4th, 8th, … such frame, the latest four kept, so that they lie apart
  // (an advert's picture can pass for the logo in a run of frames).
  static constexpr int kSamples = 4;
  std::vector<uint8_t> samples[kSamples];  // planar
  int sampleNumbers[kSamples] = {-1, -1, -1, -1};
  int shown = 0;
  int startedAt = 0;  // frames read before it
};

bool Overlaps(const Box& a, const Box& b) {
  return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

// Whether a fit box holds a found box, with a little room for its edges.
bool Holds(const Box& fitBox, const Box& found, int width, int height) {
  return fitBox.Contains(FitBoxFor(found, 4, width, height));
}

// Whether the logo the fit sees keeps clear of its box's edges.
bool LogoInside(const FitRun& run, int width, int height) {
  const Reference reference = MakeReference(run.fit.Solve(), width, height, std::nullopt);
  return !reference.region.Empty() && StrokesClearOfEdges(reference.picture, run.fit.FitBox());
}

}  // namespace

Box FitBoxFor(const Box& logo, int margin, int width, int height) {
  Box box = Grow(logo, margin, width, height);
  if (box.x & 1) --box.x, ++box.width;
  if (box.width & 1) {
    if (box.Right() < width) ++box.width;
    else --box.width;
  }
  return box;
}

bool StrokesClearOfEdges(const local::Picture& picture, const Box& box) {
  const int width = picture.rowSize / 2, height = picture.height;
  if (box.Empty() || box.x < 0 || box.y < 0 || box.Right() > width || box.Bottom() > height) return false;
  int peak = 0;
  for (int y = box.y; y < box.Bottom(); ++y) {
    for (int x = box.x; x < box.Right(); ++x) peak = std::max(peak, picture.Luma(y, x) - 16);
  }
  const int strong = std::max(8, peak / 4);
  constexpr int kClear = 6;
  for (int y = box.y; y < box.Bottom(); ++y) {
    for (int x = box.x; x < box.Right(); ++x) {
      const bool nearEdge = (box.x > 0 && x < box.x + kClear) || (box.y > 0 && y < box.y + kClear) ||
                            (box.Right() < width && x >= box.Right() - kClear) ||
                            (box.Bottom() < height && y >= box.Bottom() - kClear);
      if (nearEdge && picture.Luma(y, x) - 16 >= strong) return false;
    }
  }
  return true;
}

bool Settles(const Box& fitBox, const Box& found, int width, int height) {
  const Box own = FitBoxFor(found, kSearchMargin, width, height);
  return Holds(fitBox, found, width, height) && fitBox.width <= 2 * own.width && fitBox.height <= 2 * own.height;
}

bool Loose(const Box& fitBox, const Box& found, int width, int height) {
  const Box own = FitBoxFor(found, kSearchMargin, width, height);
  return own.x - fitBox.x > kSearchMargin || own.y - fitBox.y > kSearchMargin ||
         fitBox.Right() - own.Right() > kSearchMargin || fitBox.Bottom() - own.Bottom() > kSearchMargin;
}

int NextLook(int taken, bool settled) { return taken + (settled ? 3 * taken : std::max(16, taken / 4)); }

Analysis AnalyseClip(FrameSampler& sampler, const AnalysisOptions& options) {
  Analysis result;
  const int width = sampler.Width(), height = sampler.Height();
  result.width = width, result.height = height;
  result.searched = !options.region;
  if (options.region) {
    const Box& r = *options.region;
    if (r.x < 0 || r.y < 0 || r.width < 2 || r.height < 2 || r.Right() > width || r.Bottom() > height) {
      throw NoLogoFound("--region " + RegionText(r) + " does not lie in the " + std::to_string(width) + "x" +
                        std::to_string(height) + " frame");
    }
    // The fit keeps sums and crops per pixel of the region: bounded by a
    // quarter of the frame, which any logo fits in.
    if (static_cast<int64_t>(r.width) * r.height * 4 > static_cast<int64_t>(width) * height) {
      throw NoLogoFound("--region " + RegionText(r) + " covers more than a quarter of the frame; give the logo's own rectangle");
    }
  }
  std::unique_ptr<EdgeStatistics> edges;
  if (!options.region) edges = std::make_unique<EdgeStatistics>(width, height);
  // The fit of the latest box found, and the one before it: a box that grows
  // late by a stray edge nearby would otherwise throw away all the frames
  // fitted so far.
  std::unique_ptr<FitRun> runs[2];
  // The search's cell means are made on both threads while frames wait.
  ReadAhead::Prepare cells;
  if (edges) {
    cells = [&edges](const LumaRows& luma, std::vector<uint8_t>& out) {
      out.resize(edges->HasCells() ? edges->CellBytes() : 0);
      if (!out.empty()) edges->MakeCells(luma, out.data());
    };
  }
  ReadAhead frames(sampler, cells, kReadAhead);
  auto startFit = [&](const Box& box) {
    // Of the latest fit and the one before it, the one kept beside the new
    // one reads part of the new box (what the search sees now), and of two
    // that do, it has seen the logo in more frames: two looks in a row that
    // find the box grown by something nearby must not cost the fit that
    // gathered the logo's frames so far.
    auto rank = [&box](const std::unique_ptr<FitRun>& r) {
      return std::pair{r && Overlaps(r->fit.FitBox(), box), r ? r->fit.LogoFrames() : -1};
    };
    if (rank(runs[1]) >= rank(runs[0])) runs[0] = std::move(runs[1]);
    runs[1] = std::make_unique<FitRun>(box, width, height);
    runs[1]->startedAt = frames.Taken();
    const Box& before = runs[0] ? runs[0]->fit.FitBox() : box;
    frames.Expect(std::min(box.y, before.y), std::max(box.Bottom(), before.Bottom()));
  };
  // The fits read their boxes' rows only, and a file's frames come with
  // none but those asked for.
  auto readRows = [&](const FitRun* run) {
    if (run) frames.ReadRows(run->fit.FitBox().y, run->fit.FitBox().Bottom());
  };
  auto feedLatest = [&](const FrameView& frame) {
    FitRun& run = *runs[1];
    readRows(&run);
    if (!run.Add(frame)) return;
    ++run.shown;
    if ((run.shown & (run.shown - 1)) == 0) {  // the latest keeps frames with the logo, as they are
      int slot = 0;
      while ((1 << slot) < run.shown) ++slot;
      frames.Keep(run.samples[slot % FitRun::kSamples]);
      run.sampleNumbers[slot % FitRun::kSamples] = frames.Number();
    }
  };
  auto fits = [&](const FitRun* run, const Box& found) {
    return run && Holds(run->fit.FitBox(), found, width, height);
  };
  if (options.region) startFit(FitBoxFor(*options.region, kRegionMargin, width, height));
  int nextCheck = 8;
  int weight = 1;  // how many of the clip's frames each frame now stands for
  while (frames.Next()) {
    const FrameView frame = frames.Frame();
    if (edges) {
      // From a pipe of unknown length the frames come ever further apart:
      // the search weighs each by the stretch of the clip it stands for, so
      // that a long opening (an advert block, another programme's end) does
      // not outweigh the rest.
      for (; weight < sampler.Weight(frames.Taken() - 1); weight *= 2) edges->Halve();
      edges->AddCells(frames.Prepared());
    }
    readRows(runs[0].get());
    if (runs[0]) runs[0]->Add(frame);
    if (runs[1]) feedLatest(frame);
    if (edges && frames.Taken() == nextCheck) {
      const auto found = FindLogoBox(*edges);
      auto settlesIn = [&](const std::unique_ptr<FitRun>& run) {
        return found && run && Settles(run->fit.FitBox(), *found, width, height);
      };
      // A box found well inside the one the latest fit reads (which grew for
      // a while by something nearby) is read by a fit of its own: a larger
      // box has plain surroundings in fewer frames, and may reach into a
      // black border.
      auto tight = [&](const std::unique_ptr<FitRun>& run) {
        return settlesIn(run) && !Loose(run->fit.FitBox(), *found, width, height);
      };
      // Back to the fit before the latest when it suits the box found better
      // (the latest grew by an advert's still nearby, say, or reads a speck
      // elsewhere): that fit, and its frames, are the latest again. A fit
      // suits a box that it holds, and better one that it holds snugly.
      auto suits = [&](const std::unique_ptr<FitRun>& run) { return int{settlesIn(run)} + int{tight(run)}; };
      if (suits(runs[0]) > suits(runs[1])) std::swap(runs[0], runs[1]);
      const bool settled = settlesIn(runs[1]);
      const bool loose = settled && !tight(runs[1]);
      nextCheck = NextLook(nextCheck, settled);
      if (found && (!settled || loose)) {
        startFit(FitBoxFor(*found, kSearchMargin, width, height));
        feedLatest(frame);
      }
    }
  }
  result.framesRead = frames.Taken();
  if (result.framesRead < kMinFrames) {
    throw NoLogoFound("only " + std::to_string(result.framesRead) + " frames to look at; a logo is told from the picture by what stays put over many frames, so give a longer clip (at least " + std::to_string(kMinFrames) + " frames, better some hundreds), or, where the decoder handed over its key frames only, every frame");
  }
  FitRun* run = runs[1].get();
  FitRun* earlier = nullptr;  // the fit before the latest, when it reads the logo as well
  if (edges) {
    const auto found = FindLogoBox(*edges);
    if (!found) {
      throw NoLogoFound("no static logo found in " + std::to_string(result.framesRead) + " frames: nothing keeps its edges in place while the picture under it moves (a logo over a part of the picture that stays still cannot be told from it). If there is a logo, give its place with --region X,Y,W,H, or more frames");
    }
    // The fit of a box that holds the found one; else, when the found box
    // came too late for its fit (or grew by a stray edge nearby), a fit whose
    // logo lies well inside its box, clear of the band it reads the
    // background from.
    run = nullptr;
    for (FitRun* r : {runs[1].get(), runs[0].get()}) {
      if (!run && fits(r, *found) && r->fit.LogoFrames() >= kMinFrames) run = r;
    }
    for (FitRun* r : {runs[1].get(), runs[0].get()}) {
      if (!run && r && r->fit.LogoFrames() >= kMinFrames && Overlaps(r->fit.FitBox(), *found) && LogoInside(*r, width, height)) run = r;
    }
    // Refused below, for too few frames, when the fit saw most of the frames;
    // one that started late could not see them.
    if (!run && fits(runs[1].get(), *found) && runs[1]->startedAt * 2 <= result.framesRead) run = runs[1].get();
    if (run == runs[1].get() && runs[0] && runs[0]->fit.LogoFrames() >= kMinFrames && Overlaps(runs[0]->fit.FitBox(), *found)) {
      earlier = runs[0].get();
    }
    if (!run) {
      throw NoLogoFound("something that stays put shows near " + RegionText(*found) + " only late in the " +
                        std::to_string(result.framesRead) + " frames, too late to fit it in the same reading: if that is the logo, run again with --region " +
                        RegionText(Grow(*found, 4, width, height)) + "; if the logo is elsewhere, give its place with --region X,Y,W,H");
    }
  }
  // A fit's estimate, from the frames that the logo explains best, and its
  // reference picture.
  auto solve = [&](const FitRun& fitRun) {
    std::pair<LogoEstimate, Reference> out{fitRun.fit.Solve(true), Reference{}};
    out.second = MakeReference(out.first, width, height, options.region);
    return out;
  };
  std::pair<LogoEstimate, Reference> chosen = solve(*run);
  // The latest fit may not do as well as the one before it: its box may have
  // grown by a still part of the picture beside the logo (a studio set's
  // panel), which it then takes for logo, or it may have started late and
  // read few frames, or too few to see the background vary. The fit before
  // it stands when its logo keeps clear of its own box's edges and it
  // explains it far better, or the latest cannot be used at all.
  auto usable = [](const std::pair<LogoEstimate, Reference>& fit) {
    return fit.first.backgroundVaried && fit.first.frames >= kMinFrames && fit.second.logoPixels > 0;
  };
  if (earlier) {
    std::pair<LogoEstimate, Reference> before = solve(*earlier);
    if (usable(before) && StrokesClearOfEdges(before.second.picture, earlier->fit.FitBox()) &&
        (!usable(chosen) || before.second.medianError < 0.5 * chosen.second.medianError)) {
      run = earlier;
      chosen = std::move(before);
    }
  }
  const LogoEstimate& estimate = chosen.first;
  result.reference = std::move(chosen.second);
  result.flatFrames = run->fit.FlatFrames();
  result.fitFrames = estimate.frames;
  // The preview's frame: of those kept, the one the logo explains best.
  const std::vector<uint8_t>* sample = nullptr;
  double best = HUGE_VAL;
  for (int k = 0; k < FitRun::kSamples; ++k) {
    if (run->sampleNumbers[k] < 0) continue;
    const double misfit = run->fit.Misfit(FrameView::OfPlanar(run->samples[k].data(), width, height), estimate);
    if (!sample || misfit < best) sample = &run->samples[k], best = misfit, result.sampleNumber = run->sampleNumbers[k];
  }
  const CropStore& crops = run->crops;
  const std::string tryMore = std::string("; try more frames (a longer clip or a wider --frames range) with dark or plain scenes around the logo") +
                              (options.region ? ", and check that --region holds the logo" : "");
  if (estimate.frames < kMinFrames) {
    throw NoLogoFound("too few frames (" + std::to_string(estimate.frames) + " of " + std::to_string(result.framesRead) + ") show the logo over plain surroundings, from which the background under it can be read" + tryMore);
  }
  if (!estimate.backgroundVaried) {
    throw NoLogoFound("the background under the logo hardly changes in the frames that could be used, so the logo's opacity cannot be told from its colour" + tryMore);
  }
  const Reference& ref = result.reference;
  if (ref.logoPixels == 0) {
    throw NoLogoFound("the fit found no logo pixels that stand clear of the noise in " + RegionText(estimate.box) + tryMore);
  }
  if (ref.medianError > kTrustedError) {
    throw NoLogoFound("the fit is too poor to trust (typical error " + std::to_string(ref.medianError).substr(0, 4) + " luma levels)" + tryMore + (options.region ? "" : ", or give --region"));
  }
  // The two filters' thresholds, each from every crop, on two threads.
  auto ifNoLogo = std::async(std::launch::async, [&] { return AdviseIfNoLogo(ref.picture, ref.region, crops); });
  if (sample) result.sample = ToYUY2(FrameView::OfPlanar(sample->data(), width, height));
  result.ifLogo = AdviseIfLogo(ref.picture, ref.region, crops);
  result.ifNoLogo = ifNoLogo.get();
  return result;
}

}  // namespace pramvix::cli::logo
