#include "y4m.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

#include "cli_error.h"
#include "yuy2_rows.h"

namespace pramvix::cli {

namespace {

constexpr size_t kMaxLine = 1024;

// A decimal number of at most nine digits, nothing else.
bool ParseCount(const std::string& text, long& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

bool ParseRatio(const std::string& text, unsigned& numerator, unsigned& denominator) {
  const size_t colon = text.find(':');
  long n = 0, d = 0;
  if (colon == std::string::npos || !ParseCount(text.substr(0, colon), n) || !ParseCount(text.substr(colon + 1), d)) {
    return false;
  }
  numerator = static_cast<unsigned>(n);
  denominator = static_cast<unsigned>(d);
  return true;
}

const char* kConvertHint = "convert it with ffmpeg -pix_fmt yuv422p -f yuv4mpegpipe";

// Whether `line` (without its '\n') is a frame header: "FRAME", or "FRAME"
// and parameters after a space.
bool IsFrameHeader(const char* line, size_t size) {
  return size >= 5 && std::memcmp(line, "FRAME", 5) == 0 && (size == 5 || line[5] == ' ');
}

// Each row of a 4:2:0 chroma plane to the two picture rows it serves.
void SpreadChromaRows(const uint8_t* plane, size_t half, int height, uint8_t* out) {
  for (int r = 0; r < height; ++r) std::memcpy(out + r * half, plane + (r / 2) * half, half);
}

}  // namespace

Y4MFormat ParseY4MHeader(const std::string& line) {
  std::istringstream tokens(line);
  std::string token;
  if (!(tokens >> token) || token != "YUV4MPEG2") throw CliError("not a YUV4MPEG2 (Y4M) stream");
  Y4MFormat format;
  std::string chroma;
  bool haveWidth = false, haveHeight = false;
  while (tokens >> token) {
    const char tag = token[0];
    const std::string value = token.substr(1);
    long number = 0;
    switch (tag) {
      case 'W':
      case 'H':
        if (!ParseCount(value, number) || number <= 0 || number > kMaxSide) {
          throw CliError("frame size " + token + " is not between 1 and " + std::to_string(kMaxSide));
        }
        (tag == 'W' ? format.width : format.height) = static_cast<int>(number);
        (tag == 'W' ? haveWidth : haveHeight) = true;
        break;
      case 'F':
        if (!ParseRatio(value, format.fpsNumerator, format.fpsDenominator) || format.fpsNumerator == 0 ||
            format.fpsDenominator == 0) {
          throw CliError("invalid frame rate " + token);
        }
        break;
      case 'A':
        format.aspect = value;
        break;
      case 'I':
        if (value == "m") throw CliError("mixed interlacing (Im) cannot be carried through; " + std::string(kConvertHint));
        if (value != "p" && value != "t" && value != "b" && value != "?") throw CliError("invalid interlacing " + token);
        format.interlace = value[0];
        break;
      case 'C':
        chroma = value;
        break;
      case 'X':
        break;  // extensions (such as a colour range) do not change the bytes
      default:
        throw CliError("unknown header field " + token);
    }
  }
  if (!haveWidth || !haveHeight) throw CliError("the header gives no frame size");
  // Without a C field a stream is 4:2:0; the variants differ only in where
  // the chroma samples sit, which the bytes carried through do not change.
  format.chromaTag = chroma;
  if (chroma == "422") {
    format.chroma = Y4MChroma::k422;
  } else if (chroma.empty() || chroma == "420" || chroma == "420jpeg" || chroma == "420mpeg2" || chroma == "420paldv") {
    format.chroma = Y4MChroma::k420;
  } else {
    throw CliError("chroma layout C" + chroma + " is not 8-bit 4:2:2 or 4:2:0; " + kConvertHint);
  }
  if (format.width % 2 != 0) {
    throw CliError("width " + std::to_string(format.width) + " is odd; YUY2 video needs an even width");
  }
  return format;
}

std::string Y4MHeaderLine(const Y4MFormat& format) {
  std::string line = "YUV4MPEG2 W" + std::to_string(format.width) + " H" + std::to_string(format.height) + " F" +
                     std::to_string(format.fpsNumerator) + ":" + std::to_string(format.fpsDenominator) + " I" +
                     format.interlace;
  if (!format.aspect.empty()) line += " A" + format.aspect;
  // A 4:2:0 stream keeps the siting its header named (a missing C field
  // means 420jpeg).
  const bool named420 = format.chromaTag.compare(0, 3, "420") == 0;
  if (format.chroma == Y4MChroma::k422) return line + " C422\n";
  return line + " C" + (named420 ? format.chromaTag : std::string("420jpeg")) + "\n";
}

void PlanarToYUY2(const uint8_t* planar, int width, int height, uint8_t* yuy2, ptrdiff_t pitch) {
  const size_t lumaBytes = static_cast<size_t>(width) * height;
  const uint8_t* yPlane = planar;
  const uint8_t* uPlane = planar + lumaBytes;
  const uint8_t* vPlane = uPlane + lumaBytes / 2;
  const int half = width / 2;
  for (int r = 0; r < height; ++r) {
    const size_t row = static_cast<size_t>(r);
    PackRow(yPlane + row * width, uPlane + row * half, vPlane + row * half, half, yuy2 + r * pitch);
  }
}

void YUY2ToPlanar(const uint8_t* yuy2, ptrdiff_t pitch, int width, int height, uint8_t* planar) {
  const size_t lumaBytes = static_cast<size_t>(width) * height;
  uint8_t* yPlane = planar;
  uint8_t* uPlane = planar + lumaBytes;
  uint8_t* vPlane = uPlane + lumaBytes / 2;
  const int half = width / 2;
  for (int r = 0; r < height; ++r) {
    const size_t row = static_cast<size_t>(r);
    const uint8_t* in = yuy2 + r * pitch;
    LumaOfRow(in, half, yPlane + row * width);
    ChromaOfRow(in, half, uPlane + row * half, vPlane + row * half);
  }
}

void YUY2ToPlanar420(const uint8_t* yuy2, ptrdiff_t pitch, int width, int height, uint8_t* planar) {
  const int half = width / 2;
  const int chromaRows = (height + 1) / 2;
  uint8_t* yPlane = planar;
  uint8_t* uPlane = planar + static_cast<size_t>(width) * height;
  uint8_t* vPlane = uPlane + static_cast<size_t>(half) * chromaRows;
  for (int c = 0; c < chromaRows; ++c) {
    const int r = 2 * c;
    const uint8_t* top = yuy2 + r * pitch;
    const uint8_t* bottom = r + 1 < height ? top + pitch : top;
    LumaOfRow(top, half, yPlane + static_cast<size_t>(r) * width);
    if (bottom != top) LumaOfRow(bottom, half, yPlane + static_cast<size_t>(r + 1) * width);
    ChromaMeanOfRows(top, bottom, half, uPlane + static_cast<size_t>(c) * half, vPlane + static_cast<size_t>(c) * half);
  }
}

Y4MReader::Y4MReader(std::unique_ptr<ByteSource> source, std::string name)
    : source_(std::move(source)), name_(std::move(name)) {
  std::string line;
  if (!source_->ReadLine(line, kMaxLine)) {
    throw CliError(name_ + ": " + (line.empty() ? "empty input, not a Y4M stream" : "no Y4M header line"));
  }
  try {
    format_ = ParseY4MHeader(line);
  } catch (const CliError& e) {
    throw CliError(name_ + ": " + e.what());
  }
  if (source_->Seekable()) Index();
}

// Walks the frame headers of a seekable input, skipping the picture bytes,
// so that the frame count is known and any frame can be sought.
void Y4MReader::Index() {
  const int64_t size = source_->Size();
  const auto frameBytes = static_cast<int64_t>(format_.StreamFrameBytes());
  int64_t at = source_->Tell();
  const int64_t start = at;
  std::string line;
  while (at < size) {
    if (offsets_.size() >= static_cast<size_t>(INT32_MAX)) throw CliError(name_ + ": too many frames");
    offsets_.push_back(at);
    const bool whole = source_->ReadLine(line, kMaxLine);
    if (!whole || !IsFrameHeader(line.data(), line.size())) {
      throw CliError(name_ + ": frame " + std::to_string(offsets_.size() - 1) + ": expected a FRAME header");
    }
    pictures_.push_back(source_->Tell());
    at = source_->Tell() + frameBytes;
    if (at > size) throw CliError(name_ + ": frame " + std::to_string(offsets_.size() - 1) + " is truncated");
    if (!source_->Seek(at)) throw CliError(name_ + ": cannot seek");
  }
  count_ = static_cast<int>(offsets_.size());
  if (!source_->Seek(start)) throw CliError(name_ + ": cannot seek");
}

bool Y4MReader::ReadFrame(uint8_t* planar) {
  if (count_ >= 0 && next_ >= count_) return false;
  std::string line;
  const bool whole = source_->ReadLine(line, kMaxLine);
  if (!whole && line.empty()) {
    count_ = next_;
    return false;
  }
  const std::string frame = "frame " + std::to_string(next_);
  if (!whole || !IsFrameHeader(line.data(), line.size())) {
    throw CliError(name_ + ": " + frame + ": expected a FRAME header");
  }
  if (!ReadPicture(planar)) throw CliError(name_ + ": " + frame + " is truncated");
  ++next_;
  return true;
}

bool Y4MReader::ReadPicture(uint8_t* planar) {
  const Y4MFormat& f = format_;
  if (f.chroma == Y4MChroma::k422) return source_->Read(planar, f.FrameBytes()) == f.FrameBytes();
  const size_t lumaBytes = static_cast<size_t>(f.width) * f.height;
  if (source_->Read(planar, lumaBytes) != lumaBytes) return false;
  // Each chroma plane is read whole, then each of its rows copied to the
  // two picture rows it serves.
  const size_t half = static_cast<size_t>(f.width) / 2;
  chroma_.resize(half * f.ChromaRows());
  for (int plane = 0; plane < 2; ++plane) {
    if (source_->Read(chroma_.data(), chroma_.size()) != chroma_.size()) return false;
    SpreadChromaRows(chroma_.data(), half, f.height, planar + lumaBytes + plane * half * f.height);
  }
  return true;
}

size_t Y4MReader::Indexed(int n) const {
  if (n < 0 || static_cast<size_t>(n) >= pictures_.size()) throw CliError(name_ + ": cannot seek to frame " + std::to_string(n));
  return static_cast<size_t>(n);
}

void Y4MReader::Truncated(int n) const { throw CliError(name_ + ": frame " + std::to_string(n) + " is truncated"); }

void Y4MReader::CheckFrameAt(int n) const {
  const std::string frame = "frame " + std::to_string(n);
  const size_t at = Indexed(n);
  // The header as indexed, '\n' included.
  char header[kMaxLine + 1];
  const auto headerBytes = static_cast<size_t>(pictures_[at] - offsets_[at]);
  if (headerBytes == 0 || headerBytes > sizeof header ||
      source_->ReadAt(offsets_[at], reinterpret_cast<uint8_t*>(header), headerBytes) != headerBytes ||
      header[headerBytes - 1] != '\n' || !IsFrameHeader(header, headerBytes - 1)) {
    throw CliError(name_ + ": " + frame + ": expected a FRAME header");
  }
}

void Y4MReader::ReadLumaAt(int n, int top, int rows, uint8_t* out) const {
  const size_t frame = Indexed(n);
  if (top < 0 || top >= format_.height || rows <= 0) return;
  const auto width = static_cast<size_t>(format_.width);
  const size_t bytes = static_cast<size_t>(std::min(rows, format_.height - top)) * width;
  if (source_->ReadAt(pictures_[frame] + static_cast<int64_t>(static_cast<size_t>(top) * width), out, bytes) != bytes) Truncated(n);
}

void Y4MReader::ReadChromaAt(int n, int top, int bottom, uint8_t* chroma) const {
  const size_t frame = Indexed(n);
  const Y4MFormat& f = format_;
  top = std::max(0, top), bottom = std::min(f.height, bottom);
  if (top >= bottom) return;
  const size_t half = static_cast<size_t>(f.width) / 2;
  const int shift = f.chroma == Y4MChroma::k420 ? 1 : 0;
  const int first = top >> shift, last = (bottom - 1) >> shift;  // the stream's chroma rows
  const size_t bytes = static_cast<size_t>(last - first + 1) * half;
  const int64_t u = pictures_[frame] + static_cast<int64_t>(static_cast<size_t>(f.width) * f.height);
  thread_local std::vector<uint8_t> rows;
  for (int plane = 0; plane < 2; ++plane) {
    const int64_t at = u + static_cast<int64_t>((static_cast<size_t>(plane) * f.ChromaRows() + first) * half);
    uint8_t* out = chroma + static_cast<size_t>(plane) * half * f.height;
    uint8_t* into = out + static_cast<size_t>(top) * half;
    if (shift) rows.resize(bytes), into = rows.data();
    if (source_->ReadAt(at, into, bytes) != bytes) Truncated(n);
    for (int r = top; shift && r < bottom; ++r) {
      std::memcpy(out + static_cast<size_t>(r) * half, rows.data() + static_cast<size_t>((r >> 1) - first) * half, half);
    }
  }
}

void Y4MReader::ReadFrameAt(int n, uint8_t* yuy2, ptrdiff_t pitch) const {
  CheckFrameAt(n);
  const size_t at = Indexed(n);
  const Y4MFormat& f = format_;
  const bool is420 = f.chroma == Y4MChroma::k420;
  const auto width = static_cast<size_t>(f.width);
  const size_t half = width / 2;
  const int64_t luma = pictures_[at];
  const int64_t u = luma + static_cast<int64_t>(width * f.height);
  const int64_t v = u + static_cast<int64_t>(half * f.ChromaRows());
  // An even number of rows, so that a 4:2:0 band holds whole chroma rows.
  constexpr int kBandRows = 64;
  thread_local std::vector<uint8_t> band;
  band.resize((width + 2 * half) * kBandRows);
  uint8_t* const y = band.data();
  uint8_t* const cb = y + width * kBandRows;
  uint8_t* const cr = cb + half * kBandRows;
  for (int top = 0; top < f.height; top += kBandRows) {
    const int rows = std::min(kBandRows, f.height - top);
    // Chroma rows of the band, and where the first one is.
    const int chromaTop = is420 ? top / 2 : top;
    const auto chromaBytes = static_cast<size_t>(is420 ? (rows + 1) / 2 : rows) * half;
    const size_t lumaBytes = static_cast<size_t>(rows) * width;
    const auto chromaAt = static_cast<int64_t>(static_cast<size_t>(chromaTop) * half);
    if (source_->ReadAt(luma + static_cast<int64_t>(static_cast<size_t>(top) * width), y, lumaBytes) != lumaBytes ||
        source_->ReadAt(u + chromaAt, cb, chromaBytes) != chromaBytes ||
        source_->ReadAt(v + chromaAt, cr, chromaBytes) != chromaBytes) {
      Truncated(n);
    }
    for (int r = 0; r < rows; ++r) {
      const size_t c = static_cast<size_t>(is420 ? r / 2 : r) * half;
      PackRow(y + static_cast<size_t>(r) * width, cb + c, cr + c, static_cast<int>(half), yuy2 + (top + r) * pitch);
    }
  }
}

void Y4MReader::SeekFrame(int n) {
  if (offsets_.empty() || n < 0 || n >= count_ || !source_->Seek(offsets_[static_cast<size_t>(n)])) {
    throw CliError(name_ + ": cannot seek to frame " + std::to_string(n));
  }
  next_ = n;
}

std::vector<local::Picture> DecodeY4M(const uint8_t* data, size_t size, size_t maxFrames) {
  Y4MReader reader(MemorySource(data, size), "input");
  const Y4MFormat& format = reader.Format();
  std::vector<local::Picture> pictures;
  std::vector<uint8_t> planar;
  while (pictures.size() < maxFrames && reader.Next() < reader.FrameCount()) {
    planar.resize(format.FrameBytes());
    if (!reader.ReadFrame(planar.data())) break;
    local::Picture picture{2 * format.width, format.height, std::vector<uint8_t>(format.FrameBytes())};
    PlanarToYUY2(planar.data(), format.width, format.height, picture.bytes.data(), picture.rowSize);
    pictures.push_back(std::move(picture));
  }
  return pictures;
}

Y4MWriter::Y4MWriter(std::FILE* out, std::string name, const Y4MFormat& format)
    : out_(out), name_(std::move(name)), format_(format), planar_(format.StreamFrameBytes()) {}

void PackFrame(const Y4MFormat& format, const uint8_t* yuy2, ptrdiff_t pitch, uint8_t* planes) {
  if (format.chroma == Y4MChroma::k420) {
    YUY2ToPlanar420(yuy2, pitch, format.width, format.height, planes);
  } else {
    YUY2ToPlanar(yuy2, pitch, format.width, format.height, planes);
  }
}

void Y4MWriter::WriteFrame(const uint8_t* yuy2, ptrdiff_t pitch) {
  PackFrame(format_, yuy2, pitch, planar_.data());
  WritePacked(planar_.data());
}

void Y4MWriter::WritePacked(const uint8_t* planes) {
  WriteHeaderOnce();
  Put("FRAME\n", 6);
  Put(planes, format_.StreamFrameBytes());
}

void Y4MWriter::WriteHeaderOnce() {
  if (headerWritten_) return;
  const std::string header = Y4MHeaderLine(format_);
  Put(header.data(), header.size());
  headerWritten_ = true;
}

void Y4MWriter::Put(const void* data, size_t size) {
  if (std::fwrite(data, 1, size, out_) != size) throw CliError(name_ + ": write error: " + std::strerror(errno));
}

}  // namespace pramvix::cli
