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

// The chroma layouts read and written. 4:2:2 maps one to one onto packed
// YUY2; in 4:2:0 each chroma row serves two picture rows.
enum class Y4MChroma { k422, k420 };

// What a YUV4MPEG2 stream header says, for the 8-bit layouts that can be
// carried through YUY2.
struct Y4MFormat {
  int width = 0;
  int height = 0;
  unsigned fpsNumerator = 25;
  unsigned fpsDenominator = 1;
  char interlace = 'p';    // p progressive, t top field first, b bottom first, ? unknown
  std::string aspect;      // "A" value as given, e.g. "1:1"; empty when absent
  Y4MChroma chroma = Y4MChroma::k422;
  std::string chromaTag = "422";  // "C" value as given (e.g. "420mpeg2"), written back; empty when absent

  // Bytes of a frame as the reader hands it out: planar 4:2:2 whatever the
  // stream's layout.
  size_t FrameBytes() const { return static_cast<size_t>(width) * height * 2; }
  // Bytes of a frame's picture in the stream.
  size_t StreamFrameBytes() const {
    if (chroma == Y4MChroma::k422) return FrameBytes();
    return static_cast<size_t>(width) * height + static_cast<size_t>(width) * ChromaRows();
  }
  // Rows of each chroma plane in the stream (4:2:0: the last one of an odd
  // height serves one row).
  int ChromaRows() const { return chroma == Y4MChroma::k422 ? height : (height + 1) / 2; }
};

// Largest accepted frame side, so that a hostile header cannot ask for
// gigabytes.
constexpr int kMaxSide = 16384;

// Parses the header line (without its '\n'). Throws CliError with a clear
// text for anything but 8-bit 4:2:2 or 4:2:0 with an even width.
Y4MFormat ParseY4MHeader(const std::string& line);
// The header line we write, '\n' included.
std::string Y4MHeaderLine(const Y4MFormat& format);

// Planar Y, U, V (4:2:2: chroma planes half as wide) to packed Y0 U Y1 V and
// back. Every byte is carried over unchanged. `width` must be even.
void PlanarToYUY2(const uint8_t* planar, int width, int height, uint8_t* yuy2, ptrdiff_t pitch);
void YUY2ToPlanar(const uint8_t* yuy2, ptrdiff_t pitch, int width, int height, uint8_t* planar);
// Packed YUY2 to planar 4:2:0: each chroma sample is the mean of the two rows
// it serves, rounded up (the last row of an odd height alone). A picture
// whose row pairs share their chroma, as a 4:2:0 stream reads, comes back
// byte for byte.
void YUY2ToPlanar420(const uint8_t* yuy2, ptrdiff_t pitch, int width, int height, uint8_t* planar);

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

  // Reads the next frame's planar 4:2:2 bytes into `planar` (FrameBytes()
  // long); a 4:2:0 chroma row fills the two rows it serves. False at a clean
  // end of the input; throws CliError on a malformed or truncated frame.
  bool ReadFrame(uint8_t* planar);
  // Positions on frame n (seekable inputs only).
  void SeekFrame(int n);

  // Whether ReadFrameAt can be used: an indexed input that reads at any
  // offset (a regular file, or bytes in memory).
  bool ReadsAnyFrame() const { return !pictures_.empty(); }
  // Reads frame n straight into packed YUY2 rows `pitch` apart (what
  // ReadFrame and PlanarToYUY2 give), with ReadFrame's errors, but neither
  // moving the position nor changing anything else: threads read their own
  // frames at once. The planes are read a band of rows at a time, small
  // enough to stay in the CPU's cache until packed. Checks the frame header
  // again, in case the file changed since it was indexed.
  void ReadFrameAt(int n, uint8_t* yuy2, ptrdiff_t pitch) const;
  // Frame n by parts, at its offset, as ReadFrameAt reads and with its
  // errors: CheckFrameAt checks its header again (and that n is a frame);
  // ReadLumaAt reads rows [top, top + rows) of its luma into `out`, row
  // after row; ReadChromaAt reads rows [top, bottom) of its chroma into the
  // chroma planes of a planar 4:2:2 frame (`chroma`: U, then V, each
  // width/2 x height; a 4:2:0 row fills both rows it serves), the other rows
  // left as they are. Rows outside the frame are not read.
  void CheckFrameAt(int n) const;
  void ReadLumaAt(int n, int top, int rows, uint8_t* out) const;
  void ReadChromaAt(int n, int top, int bottom, uint8_t* chroma) const;

 private:
  void Index();
  bool ReadPicture(uint8_t* planar);  // false when the input ends inside it
  size_t Indexed(int n) const;        // n, when it is a frame of the index; else throws
  [[noreturn]] void Truncated(int n) const;

  std::unique_ptr<ByteSource> source_;
  std::string name_;
  Y4MFormat format_;
  int count_ = -1;
  int next_ = 0;
  std::vector<int64_t> offsets_;   // of each frame's "FRAME" line, when indexed
  std::vector<int64_t> pictures_;  // of each frame's picture bytes, when indexed
  std::vector<uint8_t> chroma_;   // a 4:2:0 chroma plane as the stream holds it
};

// Decodes a whole Y4M held in memory into YUY2 pictures, at most `maxFrames`
// of them. For tests and fuzzing: any bytes give pictures or a CliError.
std::vector<local::Picture> DecodeY4M(const uint8_t* data, size_t size, size_t maxFrames = 64);

// A YUY2 frame in the stream's planes, in the format's chroma layout
// (StreamFrameBytes() long), so that threads can pack frames and leave the
// writer only the write.
void PackFrame(const Y4MFormat& format, const uint8_t* yuy2, ptrdiff_t pitch, uint8_t* planes);

// Writes a Y4M stream of YUY2 frames in the format's chroma layout.
class Y4MWriter {
 public:
  // Nothing is written before the first frame: a run that fails before its
  // first frame leaves no stream behind.
  Y4MWriter(std::FILE* out, std::string name, const Y4MFormat& format);
  // `yuy2` rows are `pitch` bytes apart. Throws CliError when writing fails.
  void WriteFrame(const uint8_t* yuy2, ptrdiff_t pitch);
  // A frame PackFrame has already put in the stream's planes.
  void WritePacked(const uint8_t* planes);

 private:
  void WriteHeaderOnce();
  void Put(const void* data, size_t size);

  std::FILE* out_;
  std::string name_;
  Y4MFormat format_;
  std::vector<uint8_t> planar_;  // a frame in the stream's layout
  bool headerWritten_ = false;
};

}  // namespace pramvix::cli
