#include "y4m.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/support/error_text.h"

namespace pramvix::testing {
namespace {

using cli::ParseY4MHeader;
using cli::Y4MChroma;
using cli::Y4MFormat;

const uint8_t* Data(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(Y4MHeader, ReadsWhatFfmpegWritesAndWritesItsOwnFieldsBack) {
  const Y4MFormat f = ParseY4MHeader("YUV4MPEG2 W720 H576 F30000:1001 It A16:15 C422 XYSCSS=422 XCOLORRANGE=LIMITED");
  EXPECT_EQ(std::make_pair(f.width, f.height), std::make_pair(720, 576));
  EXPECT_EQ(std::make_pair(f.fpsNumerator, f.fpsDenominator), std::make_pair(30000u, 1001u));
  EXPECT_EQ(f.interlace, 't');
  EXPECT_EQ(f.aspect, "16:15");
  EXPECT_EQ(cli::Y4MHeaderLine(f), "YUV4MPEG2 W720 H576 F30000:1001 It A16:15 C422\n");
}

// Each layout with its tag written back, and the size of its frames: in the
// stream, and as handed out (always 4:2:2).
TEST(Y4MHeader, LayoutsKeepTheirTagAndSizeTheirFrames) {
  const struct {
    const char* size;
    std::string field;  // the C field, empty for none
    Y4MChroma chroma;
    std::string written;  // the C field of the header written back
    size_t streamBytes;
    int chromaRows;
  } cases[] = {
      {"W8 H3", " C422", Y4MChroma::k422, " C422", 48, 3},
      {"W8 H3", " C420jpeg", Y4MChroma::k420, " C420jpeg", 40, 2},  // an odd height's last chroma row serves one row
      {"W4 H2", " C420mpeg2", Y4MChroma::k420, " C420mpeg2", 12, 1},
      {"W2 H1", " C420paldv", Y4MChroma::k420, " C420paldv", 4, 1},
      {"W4 H3", " C420", Y4MChroma::k420, " C420", 20, 2},
      {"W4 H2", "", Y4MChroma::k420, " C420jpeg", 12, 1},
  };
  for (const auto& c : cases) {
    const std::string line = std::string("YUV4MPEG2 ") + c.size + " F25:1 Ip";
    SCOPED_TRACE(line + c.field);
    const Y4MFormat f = ParseY4MHeader(line + c.field);
    EXPECT_EQ(f.chroma, c.chroma);
    EXPECT_EQ(cli::Y4MHeaderLine(f), line + c.written + "\n");
    EXPECT_EQ(f.StreamFrameBytes(), c.streamBytes);
    EXPECT_EQ(f.ChromaRows(), c.chromaRows);
    EXPECT_EQ(f.FrameBytes(), static_cast<size_t>(f.width) * f.height * 2);
  }
}

TEST(Y4MHeader, RefusesWhatCannotBeCarriedThrough) {
  const std::string hint = "; convert it with ffmpeg -pix_fmt yuv422p -f yuv4mpegpipe";
  std::vector<std::pair<std::string, std::string>> cases = {
      {"YUV4MPEG2 W8 H2 Im C422", "mixed interlacing (Im) cannot be carried through" + hint},
      {"YUV4MPEG2 W7 H2 C422", "width 7 is odd; YUY2 video needs an even width"},
      {"YUV4MPEG2 W7 H2 C420jpeg", "width 7 is odd; YUY2 video needs an even width"},
      {"YUV4MPEG2 W99999 H2 C422", "frame size W99999 is not between 1 and 16384"},
      {"YUV4MPEG2 W0 H2 C422", "frame size W0 is not between 1 and 16384"},
      {"YUV4MPEG2 W-8 H2 C422", "frame size W-8 is not between 1 and 16384"},
      {"YUV4MPEG2 W8 H2 F25:0 C422", "invalid frame rate F25:0"},
      {"YUV4MPEG2 H2 C422", "the header gives no frame size"},
      {"YUV4MPEG2 W8 H2 C422", ""},
      {"YUV4MPEG W8 H2 C422", "not a YUV4MPEG2 (Y4M) stream"},
      {"YUV4MPEG2 W8 H2 Q1 C422", "unknown header field Q1"},
  };
  for (const std::string layout : {"C444", "C422p10", "C420p10", "Cmono"}) {
    cases.emplace_back("YUV4MPEG2 W8 H2 F25:1 " + layout, "chroma layout " + layout + " is not 8-bit 4:2:2 or 4:2:0" + hint);
  }
  for (const auto& [line, error] : cases) EXPECT_EQ(ErrorText([&] { ParseY4MHeader(line); }), error) << line;
}

TEST(Y4MConversion, PacksPlanesIntoPairsAndBack) {
  // 4x2: Y 1..8, U 11..14, V 21..24, each chroma plane two samples a row.
  const std::vector<uint8_t> planar = {1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 21, 22, 23, 24};
  std::vector<uint8_t> packed(2 * 12, 0xEE);  // pitch 12: four bytes of padding a row
  cli::PlanarToYUY2(planar.data(), 4, 2, packed.data(), 12);
  const std::vector<uint8_t> expected = {1, 11, 2, 21, 3, 12, 4, 22, 0xEE, 0xEE, 0xEE, 0xEE,
                                         5, 13, 6, 23, 7, 14, 8, 24, 0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(packed, expected);
  std::vector<uint8_t> back(planar.size());
  cli::YUY2ToPlanar(packed.data(), 12, 4, 2, back.data());
  EXPECT_EQ(back, planar);
}

// 4x3 in 4:2:0: Y 1..12, U 31 32 / 33 34, V 41 42 / 43 44. The second
// chroma row serves the last picture row alone.
const std::string k420Header = "YUV4MPEG2 W4 H3 F25:1 Ip C420jpeg\n";
const std::vector<uint8_t> k420Picture = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 31, 32, 33, 34, 41, 42, 43, 44};

TEST(Y4MConversion, A420ChromaRowServesTwoRows) {
  const std::string bytes = k420Header + "FRAME\n" + std::string(k420Picture.begin(), k420Picture.end());
  const auto decoded = cli::DecodeY4M(Data(bytes), bytes.size());
  ASSERT_EQ(decoded.size(), 1u);
  const std::vector<uint8_t> expected = {1, 31, 2, 41, 3, 32, 4, 42,   //
                                         5, 31, 6, 41, 7, 32, 8, 42,   //
                                         9, 33, 10, 43, 11, 34, 12, 44};
  EXPECT_EQ(decoded[0].bytes, expected);
}

TEST(Y4MConversion, PackingTo420TakesTheRoundedMeanOfEachRowPair) {
  // 4x3 at pitch 12: chroma (U, V) of the pairs, row by row.
  const std::vector<uint8_t> packed = {1, 10, 2, 20, 3, 100, 4, 0,     0xEE, 0xEE, 0xEE, 0xEE,  //
                                       5, 13, 6, 21, 7, 255, 8, 1,     0xEE, 0xEE, 0xEE, 0xEE,  //
                                       9, 77, 10, 78, 11, 79, 12, 80,  0xEE, 0xEE, 0xEE, 0xEE};
  std::vector<uint8_t> planar(20, 0xCC);
  cli::YUY2ToPlanar420(packed.data(), 12, 4, 3, planar.data());
  // (10+13+1)/2 = 12, (100+255+1)/2 = 178, (20+21+1)/2 = 21, (0+1+1)/2 = 1; the
  // last row keeps its own chroma.
  const std::vector<uint8_t> expected = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 12, 178, 77, 79, 21, 1, 78, 80};
  EXPECT_EQ(planar, expected);
}

// A header alone is an empty clip; a 4:2:0 frame ends after its two smaller
// chroma planes, not before.
TEST(Y4MDecoding, MalformedStreamsGiveClearErrors) {
  const std::string header = "YUV4MPEG2 W4 H2 C422\n";
  const std::string frame = "FRAME\n" + std::string(16, 'x');
  const std::string picture(k420Picture.begin(), k420Picture.end());
  const std::pair<std::string, std::string> cases[] = {
      {"", "input: empty input, not a Y4M stream"},
      {"YUV4MPEG2 W4 H2 C422", "input: no Y4M header line"},
      {std::string(5000, 'Y'), "input: no Y4M header line"},
      {header + frame + "FRAME\n" + std::string(15, 'x'), "input: frame 1 is truncated"},
      {header + frame + "FRAMEX\n", "input: frame 1: expected a FRAME header"},
      {header + "FRAME", "input: frame 0: expected a FRAME header"},
      {header, ""},
      {k420Header + "FRAME\n" + picture + "FRAME\n" + picture.substr(1), "input: frame 1 is truncated"},
      {k420Header + "FRAME\n" + picture + "X", "input: frame 1: expected a FRAME header"},
  };
  for (const auto& [bytes, error] : cases) {
    EXPECT_EQ(ErrorText([&] { EXPECT_EQ(cli::DecodeY4M(Data(bytes), bytes.size()).size(), 0u); }), error)
        << bytes.substr(0, 30);
  }
}

}  // namespace
}  // namespace pramvix::testing
