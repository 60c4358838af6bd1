#include "cli/support/command_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

namespace pramvix::testing {

namespace {

void WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the child closed its input early
    done += static_cast<size_t>(n);
  }
}

// The child's own peak resident memory so far. (The rusage of a forked child
// would also count the pages it shared with this process before exec.)
long PeakKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

}  // namespace

CommandResult RunProgram(const std::string& program, const std::vector<std::string>& args, const CommandInput& input) {
  signal(SIGPIPE, SIG_IGN);
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  std::vector<std::string> argvStrings = {program};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argvStrings) argv.push_back(s.data());
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (const std::string& entry : input.environment) putenv(const_cast<char*>(entry.c_str()));
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);

  std::thread feeder([&input, fd = in[1]] {
    if (input.next) {
      for (std::string piece = input.next(); !piece.empty(); piece = input.next()) WriteAll(fd, piece);
    }
    close(fd);
  });

  CommandResult result;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  std::vector<char> buffer(1 << 16);
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const ssize_t n = read(fds[i].fd, buffer.data(), buffer.size());
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else if (i == 0) {
        result.peakKilobytes = std::max(result.peakKilobytes, PeakKilobytes(pid));
        result.outBytes += static_cast<size_t>(n);
        if (input.keepOutput) result.out.append(buffer.data(), static_cast<size_t>(n));
      } else {
        result.err.append(buffer.data(), static_cast<size_t>(n));
      }
    }
  }
  feeder.join();
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

CommandResult RunPramvix(const std::vector<std::string>& args, const CommandInput& input) {
  return RunProgram(PRAMVIX_COMMAND_PATH, args, input);
}

CommandInput Feed(std::string bytes) {
  auto remaining = std::make_shared<std::string>(std::move(bytes));
  CommandInput input;
  input.next = [remaining] { return std::exchange(*remaining, std::string()); };
  return input;
}

void ExpectRefused(const std::vector<Refusal>& refusals) {
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.err);
    const CommandResult run = RunPramvix(r.args, Feed(r.input));
    EXPECT_EQ(run.status, r.status);
    EXPECT_EQ(r.prefix ? run.err.substr(0, r.err.size()) : run.err, r.err);
    EXPECT_EQ(run.out, "");
  }
}

std::string ScratchDirectory() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "_" + test->name();
  for (char& c : name) c = (c == '/') ? '_' : c;  // parameterised names
  const std::string dir = ::testing::TempDir() + "pramvix_" + name + "_" + std::to_string(getpid());
  if (std::system(("rm -rf '" + dir + "'").c_str()) != 0) ADD_FAILURE() << "cannot clear " << dir;
  mkdir(dir.c_str(), 0700);
  return dir;
}

bool HaveProgram(const std::string& name) {
  return RunProgram("/bin/sh", {"-c", "command -v " + name}).status == 0;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace pramvix::testing

#include <cstdio>
#include <random>

namespace pramvix::testing {

std::string Y4MOf(const std::vector<local::Picture>& pictures) {
  cli::Y4MFormat format;
  format.width = pictures.at(0).rowSize / 2;
  format.height = pictures.at(0).height;
  return Y4MOf(format, pictures);
}

std::string Y4MOf(const cli::Y4MFormat& format, const std::vector<local::Picture>& pictures) {
  char* data = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&data, &size);
  {
    cli::Y4MWriter writer(out, "memory", format);
    for (const local::Picture& picture : pictures) writer.WriteFrame(picture.bytes.data(), picture.rowSize);
  }
  std::fclose(out);
  std::string bytes(data, size);
  std::free(data);
  return bytes;
}

std::string Random420Y4M(int width, int height, int count, unsigned seed, const std::string& chromaTag) {
  std::mt19937 random(seed);
  const size_t pictureBytes = static_cast<size_t>(width) * height + static_cast<size_t>(width) * ((height + 1) / 2);
  std::string bytes = "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) + " F25:1 Ip C" +
                      chromaTag + "\n";
  for (int i = 0; i < count; ++i) {
    bytes += "FRAME\n";
    for (size_t b = 0; b < pictureBytes; ++b) bytes.push_back(static_cast<char>(random()));
  }
  return bytes;
}

std::string WithFrameParameters(const std::string& stream, const std::string& parameters, size_t pictureBytes) {
  size_t at = stream.find('\n') + 1;
  std::string out = stream.substr(0, at);
  for (; at < stream.size(); at += 6 + pictureBytes) {
    EXPECT_EQ(stream.compare(at, 6, "FRAME\n"), 0);
    out += "FRAME" + parameters + "\n" + stream.substr(at + 6, pictureBytes);
  }
  return out;
}

std::vector<local::Picture> RandomPictures(int width, int height, int count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<local::Picture> pictures;
  for (int i = 0; i < count; ++i) {
    local::Picture picture = local::Picture::YUY2(width, height);
    for (uint8_t& byte : picture.bytes) byte = static_cast<uint8_t>(random());
    pictures.push_back(std::move(picture));
  }
  return pictures;
}

}  // namespace pramvix::testing
