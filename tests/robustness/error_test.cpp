// Every error a function raises, when it is built or asked for a frame, and
// every error the host raises from inside a frame fetch, leaves nothing
// behind: no byte of any input frame changed, no guard byte touched, every
// frame already held released (the main frame's writable copy included), and
// the live clip and frame counts back where they were.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "failing_clip.h"
#include "plugin/function_table.h"
#include "support/filter_calls.h"
#include "support/host_test.h"

namespace pramvix::testing {
namespace {

using local::FailingClip;

// A host whose MakeWritable never copies: a shared frame stays read-only.
class NoCopyEnvironment final : public IScriptEnvironment {
 public:
  void AddFunction(const char*, const char*, ApplyFunc, void*) override {}
  [[noreturn]] void ThrowError(const char* message) override { throw HostError(message); }
  bool MakeWritable(PVideoFrame*) override { return false; }
  PVideoFrame NewFrameLike(const PVideoFrame&) override { return {}; }
};

// One error: the function, its text, and how the inputs differ from the
// default (two-frame 16x6 YUY2 clips, region 2,1,6,3, frame 1 requested).
struct ErrorCase {
  std::string function, text;
  int width = 16;                 // of the main clip, and of the others unless set
  int logoWidth = 0, alternateWidth = 0;
  int logoHeight = 6;
  unsigned char mainType = kPixelYUY2, logoType = kPixelYUY2, alternateType = kPixelYUY2;
  bool smallLogoFrame = false;    // the logo clip's frame 1 is 6x6, and it is the one read
  Region region{2, 1, 6, 3};
  bool missingClip = false;       // each clip argument in turn is an empty handle
  bool refuseCopies = false;
  int failing = -1;               // 0, 1, 2: the main, logo or alternate clip fails on frame 1

  ErrorCase(std::string f, std::string t) : function(std::move(f)), text(std::move(t)) {}
  ErrorCase& Width(int w) { width = w; return *this; }
  ErrorCase& LogoWidth(int w) { logoWidth = w; return *this; }
  ErrorCase& LogoHeight(int h) { logoHeight = h; return *this; }
  ErrorCase& AlternateWidth(int w) { alternateWidth = w; return *this; }
  ErrorCase& Types(unsigned char main, unsigned char logo) { mainType = main; logoType = logo; return *this; }
  ErrorCase& AlternateType(unsigned char t) { alternateType = t; return *this; }
  ErrorCase& SmallLogoFrame() { smallLogoFrame = true; return *this; }
  ErrorCase& At(int x, int y, int w, int h) { region = {x, y, w, h}; return *this; }
  ErrorCase& MissingClip() { missingClip = true; return *this; }
  ErrorCase& RefuseCopies() { refuseCopies = true; return *this; }
  ErrorCase& Failing(int role) { failing = role; return *this; }
};

// Each function's texts for a first clip that is not YUY2, for an odd width,
// and for a logo clip unlike the first (null where the logo clip's own
// check speaks instead).
struct Texts {
  std::string function, notYUY2, oddWidth;
  const char* incompatible;
};

const Texts kTexts[] = {
    {"NoLogo", "NoLogo: YUY2 data only (no RGB); use ConvertToYUY2", "NoLogo: width must be a multiple of 2; use Crop",
     nullptr},
    {"NoLogoM", "NoLogoM: YUY2 data only (no RGB); use ConvertToYUY2",
     "NoLogoM: width must be a multiple of 2; use Crop", "Logo_Blend: Incompatible clips"},
    {"LogoMask", "LogoMask: YUY2 data only (no RGB); use ConvertToYUY2",
     "IfLogo: width must be a multiple of 2; use Crop", "LogoMask: Incompatible clips"},
    {"AddLogo", "AddLogo: YUY2 data only (no RGB); use ConvertToYUY2",
     "NoLogo: width must be a multiple of 2; use Crop", "Logo_Blend: Incompatible clips"},
    {"IfLogo", "IfLogo: YUY2 data only (no RGB); use ConvertToYUY2", "IfLogo: width must be a multiple of 2; use Crop",
     "If Luma Logo test: Incompatible clips"},
    {"IfNoLogo", "IfLogo: YUY2 data only (no RGB); use ConvertToYUY2",
     "IfNoLogo: width must be a multiple of 2; use Crop", "If Luma Logo test: Incompatible clips"},
    {"NoLogoAuto", "NoLogo: YUY2 data only (no RGB); use ConvertToYUY2",
     "NoLogo: width must be a multiple of 2; use Crop", nullptr},
    {"NoLogoColor", "NoLogoColor: YUY2 data only (no RGB); use ConvertToYUY2",
     "NoLogoColor: width must be a multiple of 2; use Crop", "NoLogoColor: Incompatible clips"},
};

std::vector<ErrorCase> ErrorCases() {
  using E = ErrorCase;
  std::vector<E> cases = {
      E("NoLogo", "NoLogo: the logo frame is too small for the region").LogoWidth(6),
      E("NoLogo", "NoLogo: the logo frame is too small for the region").LogoHeight(3),
      E("NoLogo", "").LogoWidth(8).LogoHeight(4),  // a smaller logo frame that holds the region
      E("LogoMask", "LogoMask: the alternate frame is too small for the region").AlternateWidth(6),
      E("LogoMask", "LogoMask: the alternate clip must be YUY2").AlternateType(kPixelRGB32),
  };
  for (const Texts& t : kTexts) {
    const std::string& name = t.function;
    cases.push_back(E(name, t.oddWidth).Width(7));
    cases.push_back(E(name, name + ": the logo frame is too small for the region").SmallLogoFrame());
    cases.push_back(E(name, name + ": a clip argument is missing").MissingClip());
    cases.push_back(E(name, name + ": the host could not make the frame writable").RefuseCopies());
    // The host's own error from inside a frame fetch passes through unchanged.
    for (int role = 0; role < (FilterCallOf(name)->usesAlternate ? 3 : 2); ++role) {
      cases.push_back(E(name, FailingClip::TextFor(1)).Failing(role));
    }
    if (t.incompatible) {
      // A logo clip of another size or layout is refused before the first
      // clip's layout is looked at.
      cases.push_back(E(name, t.notYUY2).Types(kPixelRGB32, kPixelRGB32));
      cases.push_back(E(name, t.incompatible).LogoWidth(14));
      cases.push_back(E(name, t.incompatible).LogoHeight(5));
      cases.push_back(E(name, t.incompatible).Types(kPixelYUY2, kPixelRGB32));
      cases.push_back(E(name, t.incompatible).Types(kPixelRGB32, kPixelYUY2));
      cases.push_back(E(name, t.incompatible).Types(kPixelRGB32, kPixelRGB32).LogoWidth(12));
    } else {
      cases.push_back(E(name, t.notYUY2).Types(kPixelRGB32, kPixelYUY2));
      cases.push_back(E(name, name + ": the logo clip must be YUY2").Types(kPixelYUY2, kPixelRGB32));
    }
    if (name == "NoLogoAuto") continue;  // no region
    // The region texts, which every filter with a region shares in its own name.
    const std::string rightEdge =
        name == "IfNoLogo" ? "Your X position is too far right." : "You X position is too far right.";
    const std::string bottom = name + ": the region reaches below the bottom of the frame";
    cases.push_back(E(name, rightEdge).At(12, 1, 5, 2));
    cases.push_back(E(name, rightEdge).At(2147483647, 1, 2147483647, 1));  // no overflow on the way
    cases.push_back(E(name, "").At(12, 1, 4, 2));                          // ends at the right edge
    cases.push_back(E(name, "").At(-5, 99, 0, 3));  // empty: only the right edge is checked
    cases.push_back(E(name, name + ": X position must not be negative").At(-1, 1, 4, 2));
    cases.push_back(E(name, bottom).At(2, 4, 4, 3));
    cases.push_back(E(name, bottom).At(2, -9, 4, 7));  // rows from the top
    cases.push_back(E(name, bottom).At(2, 2147483647, 4, 2147483647));
  }
  return cases;
}

// An input clip and the pictures it was built from.
struct Input {
  PClip clip;
  std::vector<Picture> pictures;
};

class ErrorTest : public HostTest {
 protected:
  Input MakeInput(std::vector<Picture> pictures, int padding, unsigned char type) {
    return Input{MemoryClip::Of(pictures, padding, type), std::move(pictures)};
  }

  // Builds the call and asks for frame 1; returns the text raised, empty if none.
  std::string ErrorOf(const FilterCall& call, const CallInputs& in, IScriptEnvironment* requestEnv) {
    try {
      const PClip filter = env.Invoke(call.function, call.args(in)).AsClip();
      filter->GetFrame(1, requestEnv);
    } catch (const HostError& error) {
      return error.what();
    }
    return "";
  }

  // The text raised when one clip argument after another is an empty handle;
  // the host's own argument check would refuse it, so the factory is called.
  std::vector<std::string> MissingClipErrors(const FilterCall& call, const CallInputs& in) {
    std::vector<std::string> texts;
    const LocalEnvironment::Function* function = env.Find(call.function);
    for (size_t i = 0; i < function->params.size(); ++i) {
      if (function->params[i] != 'c') continue;
      std::vector<AVSValue> args = call.args(in);
      args[i] = AVSValue();
      try {
        function->apply(AVSValue(args), function->userData, &env);
        texts.push_back("");
      } catch (const HostError& error) {
        texts.push_back(error.what());
      }
    }
    return texts;
  }

  // No input frame changed and no filter kept a clip.
  void ExpectInputsAsTheyWere(const std::vector<Input>& inputs) {
    for (const Input& input : inputs) {
      EXPECT_EQ(input.clip.use_count(), 1) << "a filter kept a clip";
      for (size_t n = 0; n < input.pictures.size(); ++n) {
        const PVideoFrame frame = input.clip->GetFrame(static_cast<int>(n), &env);
        EXPECT_TRUE(Intact(frame)) << "guard or padding bytes of an input frame changed";
        EXPECT_EQ(local::PictureOf(frame), input.pictures[n]) << "an input frame changed";
      }
    }
  }
};

TEST_F(ErrorTest, EveryErrorTextLeavesNothingBehind) {
  env.SetPitchPadding(8);
  for (const ErrorCase& c : ErrorCases()) {
    SCOPED_TRACE(c.function + ": " + c.text + (c.failing >= 0 ? " from clip " + std::to_string(c.failing) : ""));
    const FilterCall* call = FilterCallOf(c.function);
    ASSERT_NE(call, nullptr);
    const LiveCounts before;
    {
      const int logoWidth = c.logoWidth ? c.logoWidth : c.width;
      const int alternateWidth = c.alternateWidth ? c.alternateWidth : c.width;
      const Picture logo1 = c.smallLogoFrame ? Patterned(6, 6, 14) : Patterned(logoWidth, c.logoHeight, 14);
      const std::vector<Input> inputs = {
          MakeInput({Patterned(c.width, 6, 11), Patterned(c.width, 6, 12)}, 4, c.mainType),
          MakeInput({Patterned(logoWidth, c.logoHeight, 13), logo1}, 12, c.logoType),
          MakeInput({Patterned(alternateWidth, 6, 15), Patterned(alternateWidth, 6, 16)}, 0, c.alternateType)};
      const int logoFrame = c.smallLogoFrame || c.failing >= 0 ? 1 : 0;
      CallInputs in{inputs[0].clip, inputs[1].clip, inputs[2].clip, logoFrame, 10, c.region};
      if (c.failing >= 0) {
        PClip& failing = c.failing == 0 ? in.main : (c.failing == 1 ? in.logo : in.alternate);
        failing = PClip(new FailingClip(failing, 1));
      }
      if (c.missingClip) {
        for (const std::string& text : MissingClipErrors(*call, in)) EXPECT_EQ(text, c.text);
      } else {
        NoCopyEnvironment noCopies;
        EXPECT_EQ(ErrorOf(*call, in, c.refuseCopies ? static_cast<IScriptEnvironment*>(&noCopies) : &env), c.text);
      }
      in = CallInputs{};
      ExpectInputsAsTheyWere(inputs);
    }
    EXPECT_TRUE(LiveCounts() == before) << "a clip or frame was left alive";
  }
}

}  // namespace
}  // namespace pramvix::testing
