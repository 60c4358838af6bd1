// How much of the colour under a semi-transparent logo NoLogoColor brings
// back, on small synthetic recordings whose clean picture is known: white and
// coloured logos at 20 to 80 % opacity over moving, coloured content.
#include <gtest/gtest.h>

#include "support/host_test.h"
#include "synthetic_recording.h"

namespace pramvix::testing {
namespace {

class ColourQualityTest : public HostTest {};

TEST_F(ColourQualityTest, ChromaErrorIsAtMostAQuarterOfNoLogos) {
  for (const quality::LogoColour& colour : quality::kLogoColours) {
    for (const double opacity : {0.2, 0.4, 0.6, 0.8}) {
      const quality::Recording recording = quality::MakeRecording(240, 136, 3, colour, opacity);
      const quality::Errors noLogo = quality::MeasureRemoval(env, recording, "NoLogo");
      const quality::Errors colourRemoved = quality::MeasureRemoval(env, recording, "NoLogoColor");
      SCOPED_TRACE(std::string(colour.name) + " logo at opacity " + std::to_string(opacity));
      // The logo must have left something to remove, or the bound says nothing.
      EXPECT_GT(noLogo.chroma, 0.3);
      EXPECT_LE(colourRemoved.chroma, noLogo.chroma / 4);
      // The luma, modelled with the logo's own level, comes back better too.
      EXPECT_LE(colourRemoved.luma, noLogo.luma * 1.05 + 0.5);
      std::printf("%-6s %3.0f %%: chroma %6.2f -> %5.2f, luma %6.2f -> %5.2f\n", colour.name, opacity * 100,
                  noLogo.chroma, colourRemoved.chroma, noLogo.luma, colourRemoved.luma);
    }
  }
}

}  // namespace
}  // namespace pramvix::testing
