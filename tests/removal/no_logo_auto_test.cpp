#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "support/host_test.h"

namespace pramvix::testing {
namespace {

class NoLogoAutoTest : public HostTest {};

// The local host, except that it makes no new frames (as a host that offers
// none), or makes them without a write pointer.
class HostWithoutNewFrames final : public IScriptEnvironment {
 public:
  enum class NewFrames { kNone, kReadOnly };
  HostWithoutNewFrames(LocalEnvironment* local, NewFrames made) : local_(local), made_(made) {}
  void AddFunction(const char* name, const char* params, ApplyFunc apply, void* data) override {
    local_->AddFunction(name, params, apply, data);
  }
  [[noreturn]] void ThrowError(const char* message) override { local_->ThrowError(message); }
  bool MakeWritable(PVideoFrame* frame) override { return local_->MakeWritable(frame); }
  PVideoFrame NewFrameLike(const PVideoFrame& frame) override {
    if (made_ == NewFrames::kNone) return {};
    kept_ = local_->NewFrameLike(frame);  // shared with this host: no write pointer
    return kept_;
  }

 private:
  LocalEnvironment* local_;
  NewFrames made_;
  PVideoFrame kept_;
};

// However the host makes the frame writable, the bytes are the same: a frame
// the request alone holds is rewritten in place; a shared frame is left as it
// is and its rows are copied into a new frame (last row, chroma and all) or,
// where the host makes none, into MakeWritable's copy. Frames of other
// pitches than the input's, so a row copied with the wrong pitch shows.
TEST_F(NoLogoAutoTest, OwnSharedAndCopiedFramesGiveTheSameBytes) {
  struct Geometry { int width, height, padding; };
  const Geometry geometries[] = {{2, 3, 0}, {4, 1, 4}, {6, 2, 12}, {38, 5, 0}, {70, 7, 20}, {130, 4, 36}};
  for (const Geometry& g : geometries) {
    std::mt19937 random(static_cast<uint32_t>(g.width * 100 + g.height));
    Picture main = Picture::YUY2(g.width, g.height), logo = Picture::YUY2(g.width, g.height);
    for (auto& byte : main.bytes) byte = static_cast<uint8_t>(random());
    for (int r = 0; r < g.height; ++r) {
      for (int p = 0; p < g.width; ++p) logo.Luma(r, p) = static_cast<uint8_t>(random() % 3 ? 40 : random());
    }
    const PClip logoClip = ClipOf(logo);
    const PClip ownClip = ClipOf(main, g.padding);
    static_cast<MemoryClip*>(ownClip.get())->ServeCopies(true);
    const PClip sharedClip = ClipOf(main, g.padding);
    const PClip inPlace = env.Invoke("NoLogoAuto", {ownClip, logoClip, 0}).AsClip();
    const PClip fromShared = env.Invoke("NoLogoAuto", {sharedClip, logoClip, 0}).AsClip();
    HostWithoutNewFrames copying(&env, HostWithoutNewFrames::NewFrames::kNone);
    const std::string at = "width " + std::to_string(g.width) + ", height " + std::to_string(g.height);

    const int copies = env.Copies(), made = env.NewFrames();
    const PVideoFrame expected = inPlace->GetFrame(0, &env);
    EXPECT_EQ(env.Copies(), copies) << at;
    EXPECT_EQ(env.NewFrames(), made) << at;
    const PVideoFrame input = sharedClip->GetFrame(0, &env);
    for (IScriptEnvironment* host : {static_cast<IScriptEnvironment*>(&env), static_cast<IScriptEnvironment*>(&copying)}) {
      const PVideoFrame result = fromShared->GetFrame(0, host);
      EXPECT_NE(result.get(), input.get()) << at;
      EXPECT_EQ(local::PictureOf(result), local::PictureOf(expected)) << at;
      EXPECT_TRUE(static_cast<const LocalFrame*>(result.get())->Intact()) << at;
    }
    EXPECT_EQ(env.NewFrames(), made + 1) << at;  // the shared frame through the local host
    EXPECT_EQ(env.Copies(), copies + 1) << at;   // and through the host that makes no new frames
    EXPECT_EQ(local::PictureOf(input), main) << at;
    if (g.height > 1) {
      EXPECT_NE(local::PictureOf(expected), main) << at;  // the request did change something
    }
  }
}

// A new frame without a write pointer is refused as MakeWritable's would be,
// before the width is checked.
TEST_F(NoLogoAutoTest, ANewFrameThatCannotBeWrittenIsRefusedFirst) {
  HostWithoutNewFrames readOnly(&env, HostWithoutNewFrames::NewFrames::kReadOnly);
  for (const int width : {8, 7}) {
    const Picture main = Picture::YUY2(width, 3, 90);
    const PClip mainClip = ClipOf(main);
    const PClip filter = env.Invoke("NoLogoAuto", {mainClip, ClipOf(Picture::YUY2(width, 3)), 0}).AsClip();
    std::string error;
    try {
      filter->GetFrame(0, &readOnly);
    } catch (const HostError& raised) {
      error = raised.what();
    }
    EXPECT_EQ(error, "NoLogoAuto: the host could not make the frame writable") << width;
    EXPECT_EQ(local::PictureOf(mainClip->GetFrame(0, &env)), main);
  }
}

// Removal over the whole frame is NoLogo with threshold 5 over every row but
// the last and every pixel but the first.
TEST_F(NoLogoAutoTest, EqualsNoLogoOverTheFrameButItsEdges) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    const int width = 2 * static_cast<int>(1 + random() % 12), height = static_cast<int>(1 + random() % 6);
    Picture main = Picture::YUY2(width, height), logo = Picture::YUY2(width, height);
    for (auto& byte : main.bytes) byte = static_cast<uint8_t>(random());
    // A reference mostly flat with logo patches, so every rule is exercised.
    for (int r = 0; r < height; ++r) {
      for (int p = 0; p < width; ++p) logo.Luma(r, p) = static_cast<uint8_t>(random() % 3 ? 16 + random() % 4 : random());
    }
    const PClip mainClip = ClipOf(main), logoClip = ClipOf(logo);
    EXPECT_EQ(Run("NoLogoAuto", {mainClip, logoClip, 0}),
              Run("NoLogo", {mainClip, logoClip, 0, 5, 1, 0, width - 1, height - 1}))
        << "seed " << seed;
  }
}

// Marking mode shows logo pixels inverted and softens as removal does; the
// last row stays as it was.
TEST_F(NoLogoAutoTest, MarkingModeInvertsOnlyLogoPixels) {
  const Picture main = Rows({{10, 20, 30, 40, 50, 60}, {10, 20, 30, 40, 50, 60}});
  const Picture logo = Rows({{0, 0, 0, 100, 100, 100}, {0, 0, 0, 100, 100, 100}});
  const PClip logoClip = MemoryClip::Of({Picture::YUY2(6, 2), Picture::YUY2(6, 2), Picture::YUY2(6, 2), logo});
  const Picture marked = Run("NoLogoAuto", {ClipOf(main), logoClip, -3});
  EXPECT_EQ(marked.LumaRow(0), (std::vector<int>{10, 20, 88, 215, 205, 195}));
  EXPECT_EQ(marked.LumaRow(1), main.LumaRow(1));
  // Frame 3 in removal mode: the same pixels corrected instead.
  EXPECT_EQ(Run("NoLogoAuto", {ClipOf(main), logoClip, 3}).LumaRow(0), (std::vector<int>{10, 20, 16, 0, 0, 0}));
  // The most negative frame number marks with the logo clip's last frame.
  EXPECT_EQ(Run("NoLogoAuto", {ClipOf(main), logoClip, std::numeric_limits<int>::min()}), marked);
}

TEST_F(NoLogoAutoTest, FirstPixelChangesOnlyThroughSofteningAndOneRowFramesNotAtAll) {
  const Picture main = Rows({{10, 20, 30, 40}, {16, 16, 16, 16}});
  const Picture logo = Rows({{0, 50, 50, 50}, {50, 50, 50, 50}});  // pixels 0 and 2 differ: pixel 0 is softened
  EXPECT_EQ(Run("NoLogoAuto", {ClipOf(main), ClipOf(logo), 0}).LumaRow(0), (std::vector<int>{13, 20, 30, 40}));
  const Picture oneRow = Row({10, 20, 30, 40});
  EXPECT_EQ(Run("NoLogoAuto", {ClipOf(oneRow), ClipOf(Picture::YUY2(4, 1, 200)), 0}), oneRow);
}

// The walk reads every logo row but the last: one row fewer will do, two
// are refused (a narrower frame is in the error table).
TEST_F(NoLogoAutoTest, RefusesALogoFrameTooSmallForTheWalk) {
  const struct {
    int width, height;
    const char* error;
  } logos[] = {{8, 2, "NoLogoAuto: the logo frame is too small for the region"}, {8, 3, ""}};
  for (const auto& l : logos) {
    EXPECT_EQ(ErrorOf("NoLogoAuto", {ClipOf(Picture::YUY2(8, 4)), ClipOf(Picture::YUY2(l.width, l.height)), 0}), l.error)
        << l.width << "x" << l.height;
  }
}

}  // namespace
}  // namespace pramvix::testing
