#include "byte_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli_error.h"

namespace pramvix::cli {

ByteSource::ByteSource(std::FILE* file, std::string name, bool owned)
    : file_(file), name_(std::move(name)), owned_(owned) {
  struct stat st {};
  if (file_ && fstat(fileno(file_), &st) == 0 && S_ISREG(st.st_mode)) {
    seekable_ = ftello(file_) == 0;
    size_ = st.st_size;
  }
}

ByteSource::~ByteSource() {
  if (file_ && owned_) std::fclose(file_);
}

size_t ByteSource::Read(uint8_t* out, size_t size) {
  size_t done = std::min(size, peeked_.size());
  std::copy_n(peeked_.begin(), done, out);
  peeked_.erase(peeked_.begin(), peeked_.begin() + static_cast<std::ptrdiff_t>(done));
  while (file_ && done < size) {
    done += std::fread(out + done, 1, size - done, file_);
    if (!std::ferror(file_)) break;  // the end of the input
    if (errno != EINTR) throw CliError(name_ + ": read error: " + std::strerror(errno));
    std::clearerr(file_);
  }
  offset_ += static_cast<int64_t>(done);
  return done;
}

int ByteSource::Get() {
  uint8_t byte = 0;
  return Read(&byte, 1) == 1 ? byte : EOF;
}

bool ByteSource::ReadLine(std::string& line, size_t limit) {
  line.clear();
  for (int c; (c = Get()) != EOF;) {
    if (c == '\n') return true;
    if (line.size() >= limit) return false;
    line.push_back(static_cast<char>(c));
  }
  return false;
}

std::vector<uint8_t> ByteSource::Peek(size_t size) {
  if (peeked_.size() < size) {
    const size_t had = peeked_.size();
    std::vector<uint8_t> more(size - had);
    const int64_t at = offset_;
    more.resize(Read(more.data(), more.size()));
    offset_ = at;  // peeked bytes are not consumed
    peeked_.insert(peeked_.end(), more.begin(), more.end());
  }
  return std::vector<uint8_t>(peeked_.begin(), peeked_.begin() + static_cast<std::ptrdiff_t>(std::min(size, peeked_.size())));
}

bool ByteSource::Seek(int64_t offset) {
  if (!seekable_ || !file_ || fseeko(file_, offset, SEEK_SET) != 0) return false;
  offset_ = offset;
  peeked_.clear();
  return true;
}

size_t ByteSource::ReadAt(int64_t offset, uint8_t* out, size_t size) const {
  if (!seekable_ || offset < 0) return 0;
  if (!memory_.empty() || !file_) {
    if (offset >= static_cast<int64_t>(memory_.size())) return 0;
    const size_t done = std::min(size, memory_.size() - static_cast<size_t>(offset));
    std::copy_n(memory_.begin() + static_cast<std::ptrdiff_t>(offset), done, out);
    return done;
  }
  // pread leaves the stream's position, and stdio's buffer, as they are.
  size_t done = 0;
  while (done < size) {
    const ssize_t got = pread(fileno(file_), out + done, size - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (got == 0) break;  // the end of the file
    if (got < 0) {
      if (errno == EINTR) continue;
      throw CliError(name_ + ": read error: " + std::strerror(errno));
    }
    done += static_cast<size_t>(got);
  }
  return done;
}

std::unique_ptr<ByteSource> OpenSource(const std::string& path) {
  if (path == "-") return std::unique_ptr<ByteSource>(new ByteSource(stdin, "standard input", false));
  std::FILE* file = std::fopen(path.c_str(), "rbe");
  if (!file) throw CliError(path + ": cannot open: " + std::strerror(errno));
  struct stat st {};
  if (fstat(fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(file);
    throw CliError(path + ": is a directory");
  }
  return std::unique_ptr<ByteSource>(new ByteSource(file, path, true));
}

std::unique_ptr<ByteSource> MemorySource(const uint8_t* data, size_t size, bool seekable) {
  std::vector<uint8_t> bytes(data, data + size);
  // An empty buffer cannot be opened as a stream; it reads as an empty input.
  std::FILE* file = size > 0 ? fmemopen(bytes.data(), size, "rb") : nullptr;
  if (size > 0 && !file) throw CliError("memory: cannot open");
  std::unique_ptr<ByteSource> source(new ByteSource(file, "memory", true));
  source->memory_ = std::move(bytes);  // the stream keeps pointing at the same heap block
  source->seekable_ = seekable;
  source->size_ = static_cast<int64_t>(size);
  return source;
}

}  // namespace pramvix::cli
