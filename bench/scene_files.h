#pragma once
// A scene written as Y4M files, for the benchmarks of the command's paths that
// read files: its main picture repeated and its reference picture.
#include <string>

#include "scenes.h"

namespace pramvix::bench {

struct SceneFiles {
  std::string clip, logo;
};

// The files of `scene` under `name` (one pair per name, written on first
// use, removed when the process exits): the main picture `frames` times, the
// reference once.
const SceneFiles& SceneFilesFor(const std::string& name, const Scene& scene, int frames);

}  // namespace pramvix::bench
