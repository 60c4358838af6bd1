#pragma once
// Runs the pramvix command as a child process, feeding its standard input
// and collecting its output, exit status and peak memory.
#include <functional>
#include <string>
#include <vector>

namespace pramvix::testing {

struct CommandResult {
  int status = -1;         // exit status; -1 when it did not exit normally
  std::string out;         // standard output (empty when discarded)
  size_t outBytes = 0;     // bytes on standard output
  std::string err;         // standard error
  long peakKilobytes = 0;  // the child's peak resident memory, sampled as it writes
};

struct CommandInput {
  // Next piece of standard input; an empty string ends it. Without one the
  // child's standard input is empty.
  std::function<std::string()> next;
  bool keepOutput = true;
  std::vector<std::string> environment;  // extra NAME=VALUE entries
};

// Runs `program` (PRAMVIX_COMMAND_PATH when empty) with `args`.
CommandResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const CommandInput& input = {});
CommandResult RunPramvix(const std::vector<std::string>& args, const CommandInput& input = {});
// Input of one string.
CommandInput Feed(std::string bytes);

// A call the command must refuse: its exit status and what standard error
// says (all of it, or how it starts when `prefix`); nothing goes to standard
// output.
struct Refusal {
  std::vector<std::string> args;
  int status;
  std::string err;
  std::string input = {};  // on standard input
  bool prefix = false;
};
void ExpectRefused(const std::vector<Refusal>& refusals);

// A fresh, empty directory for one test's files, named after the running test.
std::string ScratchDirectory();
// Whether a program of that name is on the PATH.
bool HaveProgram(const std::string& name);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

}  // namespace pramvix::testing

#include "picture.h"
#include "y4m.h"

namespace pramvix::testing {

// A Y4M stream of these YUY2 pictures, as the command writes it: 4:2:2 at 25
// frames a second, or in a format of the caller's (e.g. 4:2:0).
std::string Y4MOf(const std::vector<local::Picture>& pictures);
std::string Y4MOf(const cli::Y4MFormat& format, const std::vector<local::Picture>& pictures);
// A 4:2:0 Y4M stream of seeded pseudo-random planes, its header as the
// command writes it, with `chromaTag` as its C field (e.g. "420mpeg2").
std::string Random420Y4M(int width, int height, int count, unsigned seed, const std::string& chromaTag = "420jpeg");
// `stream` with every frame header carrying `parameters` (e.g. " Ip") after
// "FRAME"; `pictureBytes` is each frame's picture size in the stream.
std::string WithFrameParameters(const std::string& stream, const std::string& parameters, size_t pictureBytes);
// Pictures of seeded pseudo-random bytes (every luma and chroma byte differs).
std::vector<local::Picture> RandomPictures(int width, int height, int count, unsigned seed);

}  // namespace pramvix::testing
