#pragma once
#include <string>

namespace pramvix::cli {

// Where the plug-in library is loaded from: the --plugin option, else the
// PRAMVIX_PLUGIN environment variable, else libpramvix.so beside the command
// or in its installed library directory, else the build tree's library.
std::string FindPlugin(const std::string& option);

}  // namespace pramvix::cli
