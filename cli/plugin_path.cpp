#include "plugin_path.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace pramvix::cli {

namespace {

std::string CommandDirectory() {
  std::vector<char> path(4096);
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (n <= 0) return "";
  const std::string exe(path.data(), static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "" : exe.substr(0, slash);
}

}  // namespace

std::string FindPlugin(const std::string& option) {
  if (!option.empty()) return option;
  if (const char* fromEnv = std::getenv("PRAMVIX_PLUGIN"); fromEnv && *fromEnv) return fromEnv;
  const std::string dir = CommandDirectory();
  if (!dir.empty()) {
    for (const std::string& candidate :
         {dir + "/libpramvix.so", dir + "/../" PRAMVIX_INSTALL_LIBDIR "/libpramvix.so"}) {
      if (access(candidate.c_str(), R_OK) == 0) return candidate;
    }
  }
  return PRAMVIX_PLUGIN_PATH;
}

}  // namespace pramvix::cli
