#include "png_io.h"

#include <gtest/gtest.h>
#include <png.h>

#include <random>
#include <string>
#include <vector>

#include "cli/support/error_text.h"

namespace pramvix::testing {
namespace {

using cli::CliError;

std::vector<uint8_t> EncodePNG(int width, int height, png_uint_32 format, const std::vector<uint8_t>& pixels) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = format;
  png_alloc_size_t size = 0;
  EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr));
  std::vector<uint8_t> bytes(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr));
  bytes.resize(size);
  return bytes;
}

std::vector<int> Yuv(int r, int g, int b) {
  uint8_t y, u, v;
  cli::RGBToYUV(r, g, b, y, u, v);
  return {y, u, v};
}

TEST(PNGConversion, UsesBT601LimitedRange) {
  EXPECT_EQ(Yuv(255, 255, 255), (std::vector<int>{235, 128, 128}));
  EXPECT_EQ(Yuv(0, 0, 0), (std::vector<int>{16, 128, 128}));
  EXPECT_EQ(Yuv(255, 0, 0), (std::vector<int>{81, 90, 240}));   // 81.48, 90.20, 240
  EXPECT_EQ(Yuv(0, 0, 255), (std::vector<int>{41, 240, 110}));  // 40.97, 240, 109.79
}

TEST(PNGDecoding, PairsShareTheChromaOfTheirMeanColour) {
  // red, black | white, blue
  const auto png = EncodePNG(4, 1, PNG_FORMAT_RGB, {255, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 255});
  const local::Picture picture = cli::DecodePNG(png.data(), png.size());
  ASSERT_EQ(picture.rowSize, 8);
  ASSERT_EQ(picture.height, 1);
  // Red and black: U 128 - 18.90, V 128 + 56. White and blue: U 128 + 56, V 128 - 9.11.
  EXPECT_EQ(picture.bytes, (std::vector<uint8_t>{81, 109, 16, 184, 235, 184, 41, 119}));
}

// Each pair of a row decodes as it does alone, however much it shares with
// the pair before: both colours, one of them, or all but one channel.
TEST(PNGDecoding, EachPairDecodesAsItDoesAlone) {
  using RGB = std::vector<uint8_t>;
  const RGB black = {0, 0, 0}, red = {255, 0, 0}, green = {0, 200, 0}, redB = {255, 0, 1}, greenG = {0, 201, 0};
  const std::vector<std::pair<RGB, RGB>> row = {
      {black, black}, {black, black}, {black, red},   {green, red},  {green, redB},  {greenG, redB},
      {greenG, redB}, {red, greenG},  {greenG, red},  {black, black}, {red, black},  {red, black},
  };
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> expected;
  for (const auto& [a, b] : row) {
    std::vector<uint8_t> pair = a;
    pair.insert(pair.end(), b.begin(), b.end());
    pixels.insert(pixels.end(), pair.begin(), pair.end());
    const auto alone = EncodePNG(2, 1, PNG_FORMAT_RGB, pair);
    const auto bytes = cli::DecodePNG(alone.data(), alone.size()).bytes;
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  }
  // The same row twice: the second starts with the pair that ended the first.
  pixels.insert(pixels.end(), pixels.begin(), pixels.end());
  expected.insert(expected.end(), expected.begin(), expected.end());
  const int width = static_cast<int>(2 * row.size());
  const auto png = EncodePNG(width, 2, PNG_FORMAT_RGB, pixels);
  EXPECT_EQ(cli::DecodePNG(png.data(), png.size()).bytes, expected);
}

TEST(PNGDecoding, TransparentPixelsLieOverBlack) {
  const auto png = EncodePNG(2, 1, PNG_FORMAT_RGBA, {255, 255, 255, 0, 255, 255, 255, 255});
  EXPECT_EQ(cli::DecodePNG(png.data(), png.size()).bytes, (std::vector<uint8_t>{16, 128, 235, 128}));
}

std::string ErrorOf(const std::vector<uint8_t>& bytes) {
  return ErrorText([&] { cli::DecodePNG(bytes.data(), bytes.size()); });
}

TEST(PNGDecoding, RefusesOddWidthAndBrokenFiles) {
  EXPECT_EQ(ErrorOf(EncodePNG(3, 1, PNG_FORMAT_GRAY, {1, 2, 3})), "PNG width 3 is odd; YUY2 needs an even width");
  EXPECT_EQ(ErrorOf({'n', 'o', 't'}).rfind("not a readable PNG (", 0), 0u);
  EXPECT_EQ(ErrorOf({}).rfind("not a readable PNG (", 0), 0u);
  // Damaged copies decode or are refused, never more.
  const auto good = EncodePNG(6, 4, PNG_FORMAT_RGB, std::vector<uint8_t>(72, 90));
  std::mt19937 random(7);
  for (int round = 0; round < 1000; ++round) {
    auto bytes = good;
    bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
    if (round % 3 == 0) bytes.resize(random() % bytes.size());
    try {
      const local::Picture picture = cli::DecodePNG(bytes.data(), bytes.size());
      ASSERT_EQ(picture.bytes.size(), static_cast<size_t>(picture.rowSize) * picture.height);
    } catch (const CliError&) {
    }
  }
}

TEST(PNGWriting, GreysSurviveAWriteAndReadBack) {
  local::Picture picture = local::Picture::YUY2(4, 2, 16);
  picture.SetLumaRow(0, 0, {16, 60, 128, 235});
  picture.SetLumaRow(1, 0, {100, 101, 200, 201});
  const std::string path = ::testing::TempDir() + "pramvix_grey.png";
  ASSERT_TRUE(cli::WriteYUY2AsPNG(picture, path));
  EXPECT_EQ(cli::ReadPNGFile(path), picture);
}

}  // namespace
}  // namespace pramvix::testing
