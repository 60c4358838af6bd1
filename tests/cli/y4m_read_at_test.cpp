// Reading any frame of a file at its offset, as threads do beside each other:
// the bytes of the ordered read, the position left alone, and the ordered
// read's errors when the file no longer holds what its index says.
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "byte_source.h"
#include "cli/support/command_run.h"
#include "cli/support/error_text.h"
#include "y4m.h"

namespace pramvix::testing {
namespace {

using cli::CliError;
using Bytes = std::vector<uint8_t>;

const uint8_t* Data(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// `edits` random damages to a stream: a byte changed, a few bytes cut, or a
// few header-like characters put in; never left empty.
void Damage(std::string& bytes, std::mt19937& random, int edits) {
  for (int e = 0; e < edits; ++e) {
    const size_t at = random() % bytes.size();
    switch (random() % 3) {
      case 0: bytes[at] = static_cast<char>(random()); break;
      case 1: bytes.erase(at, 1 + random() % 8); break;
      default: bytes.insert(at, std::string(1 + random() % 3, "0 9WHFCX\n:-"[random() % 11])); break;
    }
    if (bytes.empty()) bytes = "Y";
  }
}

std::unique_ptr<cli::ByteSource> SourceOf(const std::string& bytes, bool file, const std::string& path) {
  if (!file) return cli::MemorySource(Data(bytes), bytes.size());
  WriteFile(path, bytes);
  return cli::OpenSource(path);
}

// The error of reading frame n at its offset, "" when it reads.
std::string ErrorAt(const cli::Y4MReader& reader, int n) {
  Bytes packed(reader.Format().FrameBytes());
  return ErrorText([&] { reader.ReadFrameAt(n, packed.data(), 2 * reader.Format().width); });
}

// Frame n read by parts as planar 4:2:2: its header checked, then the luma
// and the chroma each in two bands split at row `split`.
Bytes ByParts(const cli::Y4MReader& reader, int n, int split) {
  const cli::Y4MFormat& f = reader.Format();
  Bytes planar(f.FrameBytes(), 0xEE);
  uint8_t* chroma = planar.data() + static_cast<size_t>(f.width) * f.height;
  reader.CheckFrameAt(n);
  reader.ReadLumaAt(n, split, f.height + 5, planar.data() + static_cast<size_t>(split) * f.width);
  reader.ReadLumaAt(n, 0, split, planar.data());
  reader.ReadChromaAt(n, split, f.height + 5, chroma);
  reader.ReadChromaAt(n, -2, split, chroma);
  return planar;
}

TEST(ByteSourceReadAt, ReadsAnyOffsetAndLeavesThePosition) {
  const std::string dir = ScratchDirectory();
  const std::string bytes = "0123456789abcdefghij";
  for (const bool file : {false, true}) {
    SCOPED_TRACE(file ? "file" : "memory");
    const auto source = SourceOf(bytes, file, dir + "/bytes");
    Bytes head(4);
    ASSERT_EQ(source->Read(head.data(), 4), 4u);
    struct Case {
      int64_t offset;
      size_t size;
      std::string expected;
    };
    for (const Case& c : {Case{0, 3, "012"}, Case{12, 5, "cdefg"}, Case{17, 10, "hij"}, Case{20, 4, ""},
                          Case{25, 4, ""}, Case{-1, 4, ""}}) {
      Bytes got(c.size, 'x');
      got.resize(source->ReadAt(c.offset, got.data(), c.size));
      EXPECT_EQ(std::string(got.begin(), got.end()), c.expected) << "at " << c.offset;
    }
    Bytes next(3);
    ASSERT_EQ(source->Read(next.data(), 3), 3u);
    EXPECT_EQ(std::string(next.begin(), next.end()), "456") << "the ordered read goes on where it was";
    EXPECT_EQ(source->Tell(), 7);
  }
  const auto pipe = cli::MemorySource(Data(bytes), bytes.size(), false);
  Bytes got(4);
  EXPECT_EQ(pipe->ReadAt(0, got.data(), 4), 0u) << "a pipe reads only in order";
}

// Both layouts, odd heights, frame headers with and without parameters, from
// a pipe, from memory and from a file. Read in order, packed through a padded
// pitch (the padding left alone) and written again, the frames are the stream
// without the parameters; read at their offsets in any order, each is the
// ordered read's, and the ordered read goes on untouched.
TEST(Y4MReadFrameAt, StreamsComeBackWrittenAndReadAtAnyFrame) {
  const std::string dir = ScratchDirectory();
  struct Case {
    int width, height;
    const char* layout;
    const char* parameters;
  };
  // Frames of more rows than a band read at once, too, a last band of an odd
  // number of rows, and rows of two vector steps and a tail.
  const Case cases[] = {{8, 3, "422", ""},       {8, 3, "422", " Ip XCOLORRANGE=LIMITED"}, {34, 7, "420jpeg", ""},
                        {34, 5, "420mpeg2", " Ib"}, {6, 2, "420", " X"}, {6, 131, "420jpeg", " Ip"},
                        {10, 129, "422", ""},     {4, 128, "420", ""},   {2, 1, "420jpeg", ""},
                        {34, 5, "420paldv", ""},  {6, 1, "422", ""},     {70, 3, "420jpeg", ""},
                        {70, 2, "422", " Ip"}};
  enum Source { kPipe, kMemory, kFile };
  for (const Case& c : cases) {
    constexpr int kFrames = 6;
    const std::string plain = std::string(c.layout) == "422" ? Y4MOf(RandomPictures(c.width, c.height, kFrames, 7))
                                                            : Random420Y4M(c.width, c.height, kFrames, 7, c.layout);
    const size_t header = plain.find('\n') + 1;
    const std::string stream = WithFrameParameters(plain, c.parameters, (plain.size() - header) / kFrames - 6);
    for (const Source source : {kPipe, kMemory, kFile}) {
      SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " C" << c.layout << " '" << c.parameters
                                        << "' from source " << source);
      cli::Y4MReader reader(source == kFile ? SourceOf(stream, true, dir + "/in.y4m")
                                            : cli::MemorySource(Data(stream), stream.size(), source == kMemory),
                            "in.y4m");
      ASSERT_EQ(reader.ReadsAnyFrame(), source != kPipe);
      const size_t frameBytes = reader.Format().FrameBytes();
      const int rowSize = 2 * c.width;
      const int pitch = rowSize + 6;
      std::vector<Bytes> ordered;
      std::vector<local::Picture> packed;  // each row `pitch` bytes apart
      for (Bytes planar(frameBytes); reader.ReadFrame(planar.data());) {
        ordered.push_back(planar);
        packed.push_back({pitch, c.height, Bytes(static_cast<size_t>(pitch) * c.height, 0xEE)});
        cli::PlanarToYUY2(planar.data(), c.width, c.height, packed.back().bytes.data(), pitch);
        for (int r = 0; r < c.height; ++r) {
          for (int i = rowSize; i < pitch; ++i) ASSERT_EQ(packed.back().Byte(r, i), 0xEE);
        }
      }
      ASSERT_EQ(ordered.size(), static_cast<size_t>(kFrames));
      EXPECT_TRUE(Y4MOf(reader.Format(), packed) == plain);
      if (source == kPipe) continue;
      for (const int n : {4, 0, 5}) {
        for (const int split : {0, c.height / 2 | 1, c.height}) {
          EXPECT_TRUE(ByParts(reader, n, split) == ordered[n]) << "frame " << n << " by parts, split at row " << split;
        }
      }
      reader.SeekFrame(2);
      for (const int n : {5, 0, 3, 3, 1, 4, 2}) {
        Bytes got(packed[n].bytes.size(), 0xEE);  // the padding stays as it is
        reader.ReadFrameAt(n, got.data(), pitch);
        EXPECT_TRUE(got == packed[n].bytes) << "frame " << n;
      }
      EXPECT_EQ(reader.Next(), 2);
      Bytes planar(frameBytes);
      ASSERT_TRUE(reader.ReadFrame(planar.data()));
      EXPECT_TRUE(planar == ordered[2]) << "the ordered read goes on where it was";
      EXPECT_EQ(ErrorAt(reader, kFrames), "in.y4m: cannot seek to frame 6");
      EXPECT_EQ(ErrorAt(reader, -1), "in.y4m: cannot seek to frame -1");
    }
  }
}

// The file is changed after it was opened and indexed: a frame whose header
// is no longer one, or that the file no longer holds whole, fails with the
// text the ordered read gives; the frames before it still read.
TEST(Y4MReadFrameAt, AFileChangedSinceOpeningFailsAsTheOrderedRead) {
  const std::string dir = ScratchDirectory();
  const std::string path = dir + "/in.y4m";
  // Frames of 70 rows: a band of 64 rows, then one of 6.
  const std::string plain = Y4MOf(RandomPictures(8, 70, 5, 9));
  const std::string stream = WithFrameParameters(plain, " Ip", 8 * 70 * 2);
  const size_t header = stream.find('\n') + 1;
  const size_t frameBytes = (stream.size() - header) / 5;
  const auto frameAt = [&](int n) { return header + static_cast<size_t>(n) * frameBytes; };
  struct Case {
    const char* what;
    size_t at;            // where the file is changed
    std::string written;  // written there; empty: the file is cut there
    int failing;
    const char* error;
  };
  const Case cases[] = {
      {"a header renamed", frameAt(3), "FRAMX", 3, "expected a FRAME header"},
      {"a header's line runs on into the picture", frameAt(2) + 8, " ", 2, "expected a FRAME header"},
      {"a header cut short by a line end", frameAt(1) + 5, "\n", 1, "expected a FRAME header"},
      {"cut inside the first band", frameAt(4) + 9 + 20, "", 4, "is truncated"},
      {"cut inside the last band's luma", frameAt(4) + 9 + 64 * 8 + 5, "", 4, "is truncated"},
      {"cut inside the last band's chroma", frameAt(4) + frameBytes - 3, "", 4, "is truncated"},
      {"cut inside a header", frameAt(3) + 4, "", 3, "expected a FRAME header"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(path, stream);
    cli::Y4MReader reader(cli::OpenSource(path), "in.y4m");
    ASSERT_EQ(reader.FrameCount(), 5);
    if (c.written.empty()) {
      ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(c.at)), 0);
    } else {
      WriteFile(path, std::string(stream).replace(c.at, c.written.size(), c.written));
    }
    const std::string frame = "in.y4m: frame " + std::to_string(c.failing);
    const std::string error = frame + (c.error[0] == 'i' ? " " : ": ") + c.error;
    for (int n = 0; n < c.failing; ++n) EXPECT_EQ(ErrorAt(reader, n), "") << "frame " << n;
    EXPECT_EQ(ErrorAt(reader, c.failing), error);
    // Read by parts: the same errors, from the luma or from the chroma.
    for (int n = 0; n < c.failing; ++n) EXPECT_EQ(ErrorText([&] { ByParts(reader, n, 35); }), "") << "frame " << n;
    EXPECT_EQ(ErrorText([&] { ByParts(reader, c.failing, 35); }), error);
  }
}

// Damaged copies of good streams: each decodes whole or is refused, never
// more; whenever one opens for reading by frame (its index found a header and
// a whole picture for every frame), each frame read at its offset is the
// ordered read's. The sanitizer build catches any access outside the buffers.
TEST(Y4MReadFrameAt, DamagedInputIsReadOrRefusedAndAgreesWithTheOrderedRead) {
  const std::vector<std::string> goods = {Y4MOf(RandomPictures(6, 3, 3, 11)), Random420Y4M(6, 3, 3, 11),
                                          WithFrameParameters(Y4MOf(RandomPictures(6, 3, 3, 11)), " Ip", 36),
                                          Random420Y4M(6, 67, 3, 11)};
  std::mt19937 random(2024);
  int opened = 0;
  for (int round = 0; round < 6000; ++round) {
    std::string bytes = goods[round % goods.size()];
    Damage(bytes, random, 1 + static_cast<int>(random() % 4));
    try {
      for (const auto& picture : cli::DecodeY4M(Data(bytes), bytes.size())) {
        ASSERT_EQ(picture.bytes.size(), static_cast<size_t>(picture.rowSize) * picture.height);
      }
    } catch (const CliError& e) {
      ASSERT_NE(std::string(e.what()), "");
    }
    std::unique_ptr<cli::Y4MReader> reader;
    try {
      reader = std::make_unique<cli::Y4MReader>(cli::MemorySource(Data(bytes), bytes.size()), "input");
    } catch (const CliError&) {
      continue;  // refused when opened
    }
    if (reader->FrameCount() == 0) continue;  // its size may be anything
    ++opened;
    const cli::Y4MFormat& f = reader->Format();
    const int pitch = 2 * f.width;
    Bytes planar(f.FrameBytes()), expected(f.FrameBytes()), packed(f.FrameBytes());
    for (int n = 0; reader->ReadFrame(planar.data()); ++n) {
      cli::PlanarToYUY2(planar.data(), f.width, f.height, expected.data(), pitch);
      reader->ReadFrameAt(n, packed.data(), pitch);
      ASSERT_TRUE(packed == expected) << "round " << round << ", frame " << n;
    }
  }
  EXPECT_GT(opened, 100) << "too few damaged streams opened to compare";
}

}  // namespace
}  // namespace pramvix::testing
