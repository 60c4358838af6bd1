#include "scene_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

#include "y4m.h"

namespace pramvix::bench {

namespace {

std::string WriteY4M(const std::string& path, const local::Picture& picture, int frames) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) throw std::runtime_error(path + ": cannot write");
  cli::Y4MFormat format;
  format.width = picture.rowSize / 2;
  format.height = picture.height;
  {
    cli::Y4MWriter writer(out, path, format);
    for (int i = 0; i < frames; ++i) writer.WriteFrame(picture.bytes.data(), picture.rowSize);
  }
  std::fclose(out);
  return path;
}

std::map<std::string, SceneFiles>& Written() {
  static std::map<std::string, SceneFiles> files;
  return files;
}

}  // namespace

const SceneFiles& SceneFilesFor(const std::string& name, const Scene& scene, int frames) {
  std::map<std::string, SceneFiles>& files = Written();
  auto found = files.find(name);
  if (found != files.end()) return found->second;
  if (files.empty()) {
    std::atexit([] {
      for (const auto& entry : Written()) {
        std::remove(entry.second.clip.c_str());
        std::remove(entry.second.logo.c_str());
      }
    });
  }
  const std::string stem = "/tmp/pramvix_bench_" + std::to_string(getpid()) + "_" + name;
  const SceneFiles made{WriteY4M(stem + ".y4m", scene.main, frames), WriteY4M(stem + "_logo.y4m", scene.reference, 1)};
  return files.emplace(name, made).first->second;
}

}  // namespace pramvix::bench
