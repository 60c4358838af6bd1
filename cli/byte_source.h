#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace pramvix::cli {

// Bytes read in order from a file, a pipe or memory, through stdio's
// buffering, with a look at the first bytes before deciding what the input
// is. Only a regular file (or seekable memory) can seek.
class ByteSource {
 public:
  ~ByteSource();
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;

  // Reads up to `size` bytes; fewer only at the end of the input. Throws
  // CliError on a read error.
  size_t Read(uint8_t* out, size_t size);
  // Reads one line of at most `limit` bytes without its '\n'. False at the
  // end of the input (with `line` empty) or when no '\n' comes within the
  // limit (with `line` non-empty).
  bool ReadLine(std::string& line, size_t limit);
  // The next `size` bytes without consuming them (fewer at the end).
  std::vector<uint8_t> Peek(size_t size);

  bool Seekable() const { return seekable_; }
  // Offset of the next byte to be read.
  int64_t Tell() const { return offset_; }
  // Moves to an absolute offset; only for seekable sources.
  bool Seek(int64_t offset);
  // Total size in bytes for seekable sources, -1 otherwise.
  int64_t Size() const { return seekable_ ? size_ : -1; }
  // Reads up to `size` bytes at `offset` (fewer at the end) without moving
  // the position; only for seekable sources. Several threads may read at
  // once, beside one that reads in order. Throws CliError on a read error.
  size_t ReadAt(int64_t offset, uint8_t* out, size_t size) const;

 private:
  friend std::unique_ptr<ByteSource> OpenSource(const std::string& path);
  friend std::unique_ptr<ByteSource> MemorySource(const uint8_t* data, size_t size, bool seekable);
  ByteSource(std::FILE* file, std::string name, bool owned);

  int Get();  // the next byte, or EOF

  std::FILE* file_;  // null for empty memory
  std::string name_;
  bool owned_;
  bool seekable_ = false;
  int64_t size_ = -1;
  int64_t offset_ = 0;
  std::vector<uint8_t> memory_;  // the bytes behind a memory source
  std::vector<uint8_t> peeked_;  // read ahead by Peek, handed out first
};

// Standard input ("-") or a file; throws CliError when it cannot be opened.
std::unique_ptr<ByteSource> OpenSource(const std::string& path);
// Bytes held in memory (tests, fuzzing); when not seekable it reads like a pipe.
std::unique_ptr<ByteSource> MemorySource(const uint8_t* data, size_t size, bool seekable = true);

}  // namespace pramvix::cli
