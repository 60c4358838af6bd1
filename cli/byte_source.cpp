#include "byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli_error.h"

namespace pramvix::cli {

namespace {

constexpr size_t kBufferBytes = 64 * 1024;

class FileSource final : public ByteSource {
 public:
  FileSource(int fd, std::string name, bool owned) : fd_(fd), name_(std::move(name)), owned_(owned) {
    struct stat st {};
    if (fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
      seekable_ = lseek(fd_, 0, SEEK_CUR) == 0;
      size_ = st.st_size;
    }
  }
  ~FileSource() override {
    if (owned_) close(fd_);
  }
  bool Seekable() const override { return seekable_; }
  int64_t Size() const override { return seekable_ ? size_ : -1; }

 protected:
  size_t Fill(uint8_t* out, size_t size) override {
    for (;;) {
      const ssize_t got = read(fd_, out, size);
      if (got >= 0) return static_cast<size_t>(got);
      if (errno != EINTR) throw CliError(name_ + ": read error: " + std::strerror(errno));
    }
  }
  bool SeekRaw(int64_t offset) override { return seekable_ && lseek(fd_, offset, SEEK_SET) == offset; }

 private:
  int fd_;
  std::string name_;
  bool owned_;
  bool seekable_ = false;
  int64_t size_ = -1;
};

class BytesSource final : public ByteSource {
 public:
  BytesSource(const uint8_t* data, size_t size, bool seekable) : data_(data, data + size), seekable_(seekable) {}
  bool Seekable() const override { return seekable_; }
  int64_t Size() const override { return seekable_ ? static_cast<int64_t>(data_.size()) : -1; }

 protected:
  size_t Fill(uint8_t* out, size_t size) override {
    const size_t n = std::min(size, data_.size() - at_);
    if (n > 0) std::memcpy(out, data_.data() + at_, n);
    at_ += n;
    return n;
  }
  bool SeekRaw(int64_t offset) override {
    if (!seekable_ || offset < 0 || static_cast<uint64_t>(offset) > data_.size()) return false;
    at_ = static_cast<size_t>(offset);
    return true;
  }

 private:
  std::vector<uint8_t> data_;
  bool seekable_;
  size_t at_ = 0;
};

}  // namespace

bool ByteSource::Refill() {
  if (pos_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
    consumedBefore_ += static_cast<int64_t>(pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  if (buffer_.size() < kBufferBytes) buffer_.resize(kBufferBytes);
  if (end_ == buffer_.size()) return true;
  // Right after a seek only a little is read: an index of frame headers
  // reads a line and seeks on.
  const size_t got = Fill(buffer_.data() + end_, std::min(fillSize_, buffer_.size() - end_));
  fillSize_ = std::min(fillSize_ * 2, kBufferBytes);
  end_ += got;
  return got > 0;
}

size_t ByteSource::Read(uint8_t* out, size_t size) {
  size_t done = 0;
  while (done < size) {
    if (pos_ == end_) {
      // Large reads go straight to the destination.
      if (size - done >= kBufferBytes) {
        consumedBefore_ += static_cast<int64_t>(pos_);
        pos_ = end_ = 0;
        const size_t got = Fill(out + done, size - done);
        if (got == 0) break;
        consumedBefore_ += static_cast<int64_t>(got);
        done += got;
        continue;
      }
      if (!Refill()) break;
    }
    const size_t n = std::min(size - done, end_ - pos_);
    std::memcpy(out + done, buffer_.data() + pos_, n);
    pos_ += n;
    done += n;
  }
  return done;
}

bool ByteSource::ReadLine(std::string& line, size_t limit) {
  line.clear();
  for (;;) {
    if (pos_ == end_ && !Refill()) return false;
    const uint8_t c = buffer_[pos_++];
    if (c == '\n') return true;
    if (line.size() >= limit) return false;
    line.push_back(static_cast<char>(c));
  }
}

std::vector<uint8_t> ByteSource::Peek(size_t size) {
  while (end_ - pos_ < size && Refill()) {
  }
  const size_t n = std::min(size, end_ - pos_);
  return std::vector<uint8_t>(buffer_.begin() + static_cast<std::ptrdiff_t>(pos_),
                              buffer_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
}

bool ByteSource::Seek(int64_t offset) {
  if (!Seekable() || !SeekRaw(offset)) return false;
  consumedBefore_ = offset;
  pos_ = end_ = 0;
  fillSize_ = 512;
  return true;
}

std::unique_ptr<ByteSource> OpenSource(const std::string& path) {
  if (path == "-") return std::make_unique<FileSource>(STDIN_FILENO, "standard input", false);
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw CliError(path + ": cannot open: " + std::strerror(errno));
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close(fd);
    throw CliError(path + ": is a directory");
  }
  return std::make_unique<FileSource>(fd, path, true);
}

std::unique_ptr<ByteSource> MemorySource(const uint8_t* data, size_t size, bool seekable) {
  return std::make_unique<BytesSource>(data, size, seekable);
}

}  // namespace pramvix::cli
