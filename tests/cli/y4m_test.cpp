#include "y4m.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/support/command_run.h"
#include "cli_error.h"

namespace pramvix::testing {
namespace {

using cli::CliError;
using cli::ParseY4MHeader;
using cli::Y4MFormat;

std::string ErrorOfHeader(const std::string& line) {
  try {
    ParseY4MHeader(line);
  } catch (const CliError& e) {
    return e.what();
  }
  return "";
}

TEST(Y4MHeader, ReadsWhatFfmpegWritesAndWritesItsOwnFieldsBack) {
  const Y4MFormat f = ParseY4MHeader("YUV4MPEG2 W720 H576 F30000:1001 It A16:15 C422 XYSCSS=422 XCOLORRANGE=LIMITED");
  EXPECT_EQ(f.width, 720);
  EXPECT_EQ(f.height, 576);
  EXPECT_EQ(f.fpsNumerator, 30000u);
  EXPECT_EQ(f.fpsDenominator, 1001u);
  EXPECT_EQ(f.interlace, 't');
  EXPECT_EQ(f.aspect, "16:15");
  EXPECT_EQ(cli::Y4MHeaderLine(f), "YUV4MPEG2 W720 H576 F30000:1001 It A16:15 C422\n");
  // Both layouts, each with its tag written back.
  struct Case {
    std::string field;  // the C field, empty for none
    cli::Y4MChroma chroma;
    std::string written;  // the C field of the header written back
  };
  const std::vector<Case> cases = {
      {" C422", cli::Y4MChroma::k422, " C422"},          {" C420jpeg", cli::Y4MChroma::k420, " C420jpeg"},
      {" C420mpeg2", cli::Y4MChroma::k420, " C420mpeg2"}, {" C420paldv", cli::Y4MChroma::k420, " C420paldv"},
      {" C420", cli::Y4MChroma::k420, " C420"},           {"", cli::Y4MChroma::k420, " C420jpeg"},
  };
  for (const Case& c : cases) {
    const Y4MFormat layout = ParseY4MHeader("YUV4MPEG2 W8 H3 F25:1 Ip" + c.field);
    EXPECT_EQ(layout.chroma, c.chroma) << c.field;
    EXPECT_EQ(cli::Y4MHeaderLine(layout), "YUV4MPEG2 W8 H3 F25:1 Ip" + c.written + "\n");
  }
}

TEST(Y4MHeader, FrameSizesFollowTheLayout) {
  struct Case {
    int width, height;
    cli::Y4MChroma chroma;
    size_t stream;  // picture bytes of a frame in the stream
    int chromaRows;
  };
  const std::vector<Case> cases = {
      {4, 2, cli::Y4MChroma::k422, 16, 2}, {4, 3, cli::Y4MChroma::k422, 24, 3}, {4, 2, cli::Y4MChroma::k420, 12, 1},
      {4, 3, cli::Y4MChroma::k420, 20, 2}, {2, 1, cli::Y4MChroma::k420, 4, 1},  {1920, 1080, cli::Y4MChroma::k420, 3110400, 540},
  };
  for (const Case& c : cases) {
    Y4MFormat f;
    f.width = c.width;
    f.height = c.height;
    f.chroma = c.chroma;
    EXPECT_EQ(f.StreamFrameBytes(), c.stream) << c.width << "x" << c.height;
    EXPECT_EQ(f.ChromaRows(), c.chromaRows) << c.width << "x" << c.height;
    EXPECT_EQ(f.FrameBytes(), static_cast<size_t>(c.width) * c.height * 2);  // handed out as 4:2:2
  }
}

TEST(Y4MHeader, RefusesWhatCannotBeCarriedThrough) {
  const std::string hint = "; convert it with ffmpeg -pix_fmt yuv422p -f yuv4mpegpipe";
  for (const std::string layout : {"C444", "C422p10", "C420p10", "Cmono"}) {
    EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 W8 H2 F25:1 " + layout),
              "chroma layout " + layout + " is not 8-bit 4:2:2 or 4:2:0" + hint);
  }
  const std::pair<const char*, std::string> cases[] = {
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
  for (const auto& [line, error] : cases) EXPECT_EQ(ErrorOfHeader(line), error) << line;
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
  const auto decoded = cli::DecodeY4M(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
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

std::string ErrorOfDecoding(const std::string& bytes) {
  try {
    cli::DecodeY4M(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  } catch (const CliError& e) {
    return e.what();
  }
  return "";
}

TEST(Y4MDecoding, MalformedStreamsGiveClearErrors) {
  const std::string header = "YUV4MPEG2 W4 H2 C422\n";
  const std::string frame = "FRAME\n" + std::string(16, 'x');
  EXPECT_EQ(ErrorOfDecoding(""), "input: empty input, not a Y4M stream");
  EXPECT_EQ(ErrorOfDecoding("YUV4MPEG2 W4 H2 C422"), "input: no Y4M header line");
  EXPECT_EQ(ErrorOfDecoding(std::string(5000, 'Y')), "input: no Y4M header line");
  EXPECT_EQ(ErrorOfDecoding(header + frame + "FRAME\n" + std::string(15, 'x')), "input: frame 1 is truncated");
  EXPECT_EQ(ErrorOfDecoding(header + frame + "FRAMEX\n"), "input: frame 1: expected a FRAME header");
  EXPECT_EQ(ErrorOfDecoding(header + "FRAME"), "input: frame 0: expected a FRAME header");
  // Frame parameters after "FRAME " are allowed; a header alone is an empty clip.
  EXPECT_EQ(cli::DecodeY4M(reinterpret_cast<const uint8_t*>((header + "FRAME Ip\n" + std::string(16, 'x')).data()),
                           header.size() + 9 + 16)
                .size(),
            1u);
  EXPECT_TRUE(cli::DecodeY4M(reinterpret_cast<const uint8_t*>(header.data()), header.size()).empty());
  // A 4:2:0 frame ends after its two smaller chroma planes, not before.
  const std::string picture(k420Picture.begin(), k420Picture.end());
  EXPECT_EQ(ErrorOfDecoding(k420Header + "FRAME\n" + picture + "FRAME\n" + picture.substr(1)), "input: frame 1 is truncated");
  EXPECT_EQ(ErrorOfDecoding(k420Header + "FRAME\n" + picture + "X"), "input: frame 1: expected a FRAME header");
}

}  // namespace
}  // namespace pramvix::testing
