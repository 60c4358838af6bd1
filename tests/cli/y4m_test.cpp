#include "y4m.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
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

TEST(Y4MHeader, ReadsWhatFfmpegWritesFor422) {
  const Y4MFormat f = ParseY4MHeader("YUV4MPEG2 W720 H576 F30000:1001 It A16:15 C422 XYSCSS=422 XCOLORRANGE=LIMITED");
  EXPECT_EQ(f.width, 720);
  EXPECT_EQ(f.height, 576);
  EXPECT_EQ(f.fpsNumerator, 30000u);
  EXPECT_EQ(f.fpsDenominator, 1001u);
  EXPECT_EQ(f.interlace, 't');
  EXPECT_EQ(f.aspect, "16:15");
  EXPECT_EQ(cli::Y4MHeaderLine(f), "YUV4MPEG2 W720 H576 F30000:1001 It A16:15 C422\n");
}

TEST(Y4MHeader, RefusesWhatCannotBeCarriedThrough) {
  const std::string hint = "; convert it with ffmpeg -pix_fmt yuv422p -f yuv4mpegpipe";
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 W8 H2 F25:1 C420jpeg"), "chroma layout C420jpeg is not 8-bit 4:2:2" + hint);
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 W8 H2 F25:1"), "chroma layout 4:2:0 (no C field) is not 8-bit 4:2:2" + hint);
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 W8 H2 C422p10"), "chroma layout C422p10 is not 8-bit 4:2:2" + hint);
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 W8 H2 Im C422"), "mixed interlacing (Im) cannot be carried through" + hint);
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 W7 H2 C422"), "width 7 is odd; 4:2:2 video needs an even width");
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 W99999 H2 C422"), "frame size W99999 is not between 1 and 16384");
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 W0 H2 C422"), "frame size W0 is not between 1 and 16384");
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 W-8 H2 C422"), "frame size W-8 is not between 1 and 16384");
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 W8 H2 F25:0 C422"), "invalid frame rate F25:0");
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 H2 C422"), "the header gives no frame size");
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG W8 H2 C422"), "not a YUV4MPEG2 (Y4M) stream");
  EXPECT_EQ(ErrorOfHeader("YUV4MPEG2 W8 H2 Q1 C422"), "unknown header field Q1");
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

TEST(Y4MConversion, RoundTripKeepsEveryByte) {
  const auto pictures = RandomPictures(34, 6, 3, 7);
  const std::string bytes = Y4MOf(pictures, 30000, 1001, 'b');
  EXPECT_EQ(bytes.compare(0, 39, "YUV4MPEG2 W34 H6 F30000:1001 Ib C422\nFR"), 0);
  EXPECT_EQ(bytes.size(), 37 + 3 * (6 + 34 * 6 * 2u));
  const auto decoded = cli::DecodeY4M(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  EXPECT_EQ(decoded, pictures);
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
}

// Damaged copies of a good stream: every one decodes or is refused, never
// more (the sanitizer build catches any stray access).
TEST(Y4MDecoding, SurvivesDamagedInput) {
  const std::string good = Y4MOf(RandomPictures(6, 3, 3, 11));
  std::mt19937 random(2024);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes = good;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const size_t at = random() % bytes.size();
      switch (random() % 3) {
        case 0: bytes[at] = static_cast<char>(random()); break;
        case 1: bytes.erase(at, 1 + random() % 8); break;
        default: bytes.insert(at, std::string(1 + random() % 3, "0 9WHFCX\n:-"[random() % 11])); break;
      }
      if (bytes.empty()) bytes = "Y";
    }
    try {
      const auto pictures = cli::DecodeY4M(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      for (const auto& picture : pictures) ASSERT_EQ(picture.bytes.size(), static_cast<size_t>(picture.rowSize) * picture.height);
    } catch (const CliError& e) {
      ASSERT_NE(std::string(e.what()), "");
    }
  }
}

}  // namespace
}  // namespace pramvix::testing
