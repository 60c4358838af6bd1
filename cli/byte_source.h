#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pramvix::cli {

// Bytes read in order from a file, a pipe or memory, with a buffer so that the
// first bytes can be looked at before deciding what the input is. Only a
// regular file can seek.
class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Reads up to `size` bytes; fewer only at the end of the input.
  size_t Read(uint8_t* out, size_t size);
  // Reads one line of at most `limit` bytes without its '\n'. False at the
  // end of the input (with `line` empty) or when no '\n' comes within the
  // limit (with `line` non-empty).
  bool ReadLine(std::string& line, size_t limit);
  // The next `size` bytes without consuming them (fewer at the end).
  std::vector<uint8_t> Peek(size_t size);

  virtual bool Seekable() const { return false; }
  // Offset of the next byte to be read.
  int64_t Tell() const { return consumedBefore_ + static_cast<int64_t>(pos_); }
  // Moves to an absolute offset; only for seekable sources.
  bool Seek(int64_t offset);
  // Total size in bytes for seekable sources, -1 otherwise.
  virtual int64_t Size() const { return -1; }

 protected:
  // Fills up to `size` bytes; 0 at the end. Throws CliError on a read error.
  virtual size_t Fill(uint8_t* out, size_t size) = 0;
  virtual bool SeekRaw(int64_t) { return false; }

 private:
  bool Refill();

  std::vector<uint8_t> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  int64_t consumedBefore_ = 0;  // input offset of buffer_[0]
  size_t fillSize_ = 512;       // grows after each refill; small again after a seek
};

// Standard input ("-") or a file; throws CliError when it cannot be opened.
std::unique_ptr<ByteSource> OpenSource(const std::string& path);
// Bytes held in memory (tests, fuzzing); when not seekable it reads like a pipe.
std::unique_ptr<ByteSource> MemorySource(const uint8_t* data, size_t size, bool seekable = true);

}  // namespace pramvix::cli
