#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "byte_source.h"
#include "picture.h"

namespace pramvix::cli {

// What a YUV4MPEG2 stream header says, for the 4:2:2 8-bit layout that maps
// one to one onto packed YUY2.
struct Y4MFormat {
  int width = 0;
  int height = 0;
  unsigned fpsNumerator = 25;
  unsigned fpsDenominator = 1;
  char interlace = 'p';    // p progressive, t top field first, b bottom first, ? unknown
  std::string aspect;      // "A" value as given, e.g. "1:1"; empty when absent

  size_t FrameBytes() const { return static_cast<size_t>(width) * height * 2; }
};

// Largest accepted frame side, so that a hostile header cannot ask for
// gigabytes.
constexpr int kMaxSide = 16384;

// Parses the header line (without its '\n'). Throws CliError with a clear
// text for anything but 8-bit 4:2:2 that we can carry through unchanged.
Y4MFormat ParseY4MHeader(const std::string& line);
// The header line we write, '\n' included.
std::string Y4MHeaderLine(const Y4MFormat& format);

// Planar Y, U, V (4:2:2: chroma planes half as wide) to packed Y0 U Y1 V and
// back. Every byte is carried over unchanged. `width` must be even.
void PlanarToYUY2(const uint8_t* planar, int width, int height, uint8_t* yuy2, ptrdiff_t pitch);
void YUY2ToPlanar(const uint8_t* yuy2, ptrdiff_t pitch, int width, int height, uint8_t* planar);

// Reads a Y4M stream frame by frame. A seekable input is indexed when opened
// (frame count known, any frame reachable); a pipe is read forward only.
class Y4MReader {
 public:
  // Reads and checks the stream header; throws CliError.
  Y4MReader(std::unique_ptr<ByteSource> source, std::string name);

  const Y4MFormat& Format() const { return format_; }
  const std::string& Name() const { return name_; }
  // Frame count, or -1 while unknown (a pipe not yet read to its end).
  int FrameCount() const { return count_; }
  bool Seekable() const { return source_->Seekable(); }
  // Number of the frame that ReadFrame delivers next.
  int Next() const { return next_; }

  // Reads the next frame's planar bytes into `planar` (FrameBytes() long).
  // False at a clean end of the input; throws CliError on a malformed or
  // truncated frame.
  bool ReadFrame(uint8_t* planar);
  // Positions on frame n (seekable inputs only).
  void SeekFrame(int n);

 private:
  void Index();

  std::unique_ptr<ByteSource> source_;
  std::string name_;
  Y4MFormat format_;
  int count_ = -1;
  int next_ = 0;
  std::vector<int64_t> offsets_;  // of each frame's "FRAME" line, when indexed
};

// Decodes a whole Y4M held in memory into YUY2 pictures, at most `maxFrames`
// of them. For tests and fuzzing: any bytes give pictures or a CliError.
std::vector<local::Picture> DecodeY4M(const uint8_t* data, size_t size, size_t maxFrames = 64);

// Writes a Y4M stream of YUY2 frames.
class Y4MWriter {
 public:
  // Nothing is written before the first frame: a run that fails before its
  // first frame leaves no stream behind.
  Y4MWriter(std::FILE* out, std::string name, const Y4MFormat& format);
  // `yuy2` rows are `pitch` bytes apart. Throws CliError when writing fails.
  void WriteFrame(const uint8_t* yuy2, ptrdiff_t pitch);
  // A frame already in planar order (YUY2ToPlanar's bytes, FrameBytes() long).
  void WritePlanar(const uint8_t* planar);

 private:
  void Put(const void* data, size_t size);

  std::FILE* out_;
  std::string name_;
  Y4MFormat format_;
  std::vector<uint8_t> planar_;
  bool headerWritten_ = false;
};

}  // namespace pramvix::cli
