#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "frame_view.h"

namespace pramvix::cli::logo {

// What the fit says about each pixel of its box.
struct LogoEstimate {
  Box box;                          // the fit box, in frame pixels
  std::vector<double> reference;    // luma a black frame would show: 16 + a·(Y - 16)
  std::vector<double> opacity;      // a, 0..1
  std::vector<double> error;        // standard error of `reference`
  // 1 where the logo shows only with the frames of one shade of background:
  // left out, the rest put the pixel at black, beyond their noise. So it is
  // more likely that shade's own picture under the box, which its band did
  // not show (the only dark frames from one scene, say), than the logo.
  std::vector<uint8_t> oneShade;
  std::vector<double> chromaU, chromaV;  // per pixel pair: 128 + a·(C - 128)
  int frames = 0;                   // frames the fit used
  bool backgroundVaried = true;     // false: the background under the logo hardly changed
};

// Fits, per pixel of a box around the logo, the observed luma s against the
// background luma B under it: s = a·Y + (1 - a)·B is a line in B whose value
// at B = 16 is the reference luma. B is known only where it can be read off
// the box's surroundings: frames whose outer band (2 pixels wide) lies on a
// plane up to noise. Those frames give B inside by blending the band's four
// sides (a Coons patch). Among them, a frame in which the inside does not
// stand out from that blend by more than its noise has no logo (an ad break,
// a fade) and is left out, so that it cannot pull the fit towards "no logo".
// The frames that stand out are kept as crops of the box (a bounded number,
// the plainest surroundings first), so that the fit can leave out, at the
// end, those that the logo does not explain: an advert's own picture in the
// box, a logo fading in.
class LogoFit {
 public:
  // `box` must have an even x and width and lie in the frame.
  LogoFit(const Box& box, int frameWidth, int frameHeight);

  void Add(const FrameView& frame);
  // `concentrate`: for frames of two kinds that stand out in the box (the
  // logo's, and adverts' with a picture of their own there), which pull the
  // fit of them all between them: the fits concentrated on each kind are
  // made as well, and the one that explains the most frames stands.
  LogoEstimate Solve(bool concentrate = false) const;
  // Root mean square of what the estimate leaves unexplained in a frame's
  // box: small where the frame shows the logo over the blend of the band.
  double Misfit(const FrameView& frame, const LogoEstimate& estimate) const;

  const Box& FitBox() const { return box_; }
  int FlatFrames() const { return flat_; }
  int LogoFrames() const { return logoFrames_; }  // flat frames that showed the logo

  // Classes by the band's spread about its plane, in luma levels.
  static constexpr int kClasses = 3;
  static constexpr double kSpreadLimits[kClasses] = {2.0, 3.5, 6.0};
  // Crops kept: at most this many, and at most kKeptBytes of them, but 16
  // however large the box (one the user gave may be the whole frame).
  static constexpr int kMostKept = 480;
  static constexpr size_t kKeptBytes = size_t{64} << 20;
  // A still scene that comes back adds nothing on how the logo blends, and
  // where the blend of its band misses what lies inside, many copies of it
  // would pull the fit into a faint false logo: the crops of one background
  // weigh in the fit as this many frames at most (their noise still averages
  // out), and at most kSameBackgroundMost of them are kept.
  static constexpr int kSameBackgroundWeight = 8;
  static constexpr int kSameBackgroundMost = 48;

 private:
  // A frame's box as planes (luma, then each chroma), and its spread class.
  // A crop's band as the mean luma of three stretches of each side: crops
  // whose bands agree within kSameBand levels show one background.
  using Band = std::array<float, 12>;
  static constexpr float kSameBand = 1.5f;
  struct Crop {
    std::vector<uint8_t> planes;
    int cls = 0;
    Band band{};
  };
  // Per pixel (planes, for the vector units): weighted sums of B, B², s,
  // sB, s² over the crops.
  struct Sums {
    std::vector<double> b, bb, s, sb, ss;
  };
  struct ChromaSums {
    double u = 0, bu = 0, v = 0, bv = 0;
  };

  // Whether the box can be read from the frame: the frame's size, a box of
  // at least 8x8 inside it with an even x and width.
  bool Reads(const FrameView& frame) const;
  static bool SameBackground(const Band& a, const Band& b);
  FrameView ViewOf(const uint8_t* planes) const;
  // Copies the frame's box into `planes` (luma, then each chroma).
  void CropOf(const FrameView& frame, std::vector<uint8_t>& planes) const;
  // The background under the box, blended from its band: the luma, and each
  // chroma plane.
  void BlendLuma(const FrameView& crop, std::vector<double>& luma) const;
  void BlendChroma(const FrameView& crop, std::vector<double>& u, std::vector<double>& v) const;
  Band BandOf(const uint8_t* luma) const;
  void Keep(std::vector<uint8_t>& planes, int cls, const Band& band);
  // The fit of the crops picked by `use`; its frames in `estimate.frames`.
  // Its sums in `sums`, when given.
  LogoEstimate FitOf(const std::vector<const Crop*>& use, Sums* sums = nullptr) const;
  // Each crop's weight in the fit: 1, or less where many show its background.
  std::vector<double> Weights(const std::vector<const Crop*>& use) const;
  // A crop's shade: its band's mean luma, in steps of kShadeStep.
  static constexpr int kShadeStep = 32;
  static constexpr int kShades = 256 / kShadeStep;
  static int ShadeOf(const Crop& crop);
  // Fills `estimate.oneShade` for the fit of the crops `use`, whose sums
  // are `all`.
  static constexpr double kOneShadeErrors = 2.5;
  static constexpr double kOneShadeLeast = 2;  // levels above black to be looked at
  void MarkOneShade(const std::vector<const Crop*>& use, const Sums& all, LogoEstimate& estimate) const;
  // The fewest crops a concentrated fit is made of, or stands on.
  static constexpr size_t kLeastConcentrated = 6;
  // A fit of some of the crops.
  struct Candidate {
    std::vector<const Crop*> use;  // sorted
    LogoEstimate estimate;
    Sums sums;
  };
  // The fit concentrated on the crops of `pool` that it explains best, from
  // the fit `start`, with every crop of `all` (sorted) that it then explains
  // about as well.
  Candidate ConcentrateOn(const std::vector<const Crop*>& pool, const std::vector<const Crop*>& all, LogoEstimate start) const;
  // The median of `residuals`, one per crop of `all`, over the crops of
  // `some` (sorted).
  static double MedianOf(const std::vector<const Crop*>& all, const std::vector<double>& residuals,
                         const std::vector<const Crop*>& some);
  // Replaces the fit of the crops `use`, its estimate and its sums, with the
  // concentrated fit that explains the most crops, when it is not that one.
  void Concentrate(std::vector<const Crop*>& use, LogoEstimate& estimate, Sums& sums) const;
  // Root mean square of what the estimate leaves unexplained in a crop.
  double Residual(const Crop& crop, const LogoEstimate& estimate) const;
  // The same for each crop of `use`, on two threads.
  std::vector<double> Residuals(const std::vector<const Crop*>& use, const LogoEstimate& estimate) const;

  Box box_;
  int frameWidth_, frameHeight_;
  int flat_ = 0;
  int logoFrames_ = 0;
  size_t mostKept_;
  std::vector<Crop> kept_;
  // Scratch for one frame.
  std::vector<uint8_t> crop_;
  std::vector<double> background_;
};

}  // namespace pramvix::cli::logo
