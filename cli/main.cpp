// pramvix: runs one of the plug-in's functions on video files or pipes.
#include <string>
#include <vector>

#include "command.h"

int main(int argc, char** argv) {
  return pramvix::cli::RunCommand(std::vector<std::string>(argv + 1, argv + argc));
}
