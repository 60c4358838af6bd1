// pramvix_avsrun: renders a script in the real AviSynth+ host, with the
// plug-in loaded, and prints each frame's geometry and a hash of its visible
// bytes (or writes the bytes to a file); with -t it only asks for the frames
// and prints how many it got per second of wall-clock time.
//   pramvix_avsrun [-p PLUGIN] [-n FRAMES] [-o FILE] [-t] (SCRIPT_FILE | -e SCRIPT)
// `-p -` loads nothing: the plug-in must come from the autoload folders.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "real_host.h"

namespace {

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
  uint64_t hash = 1469598103934665603ull;
  for (uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
  return hash;
}

int Usage() {
  std::cerr << "usage: pramvix_avsrun [-p PLUGIN] [-n FRAMES] [-o FILE] [-t] (SCRIPT_FILE | -e SCRIPT)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string plugin = PRAMVIX_PLUGIN_PATH;
  std::string script;
  std::string outPath;
  int frames = -1;
  bool timing = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-p" && hasValue) {
      plugin = argv[++i];
    } else if (arg == "-n" && hasValue) {
      frames = std::stoi(argv[++i]);
    } else if (arg == "-o" && hasValue) {
      outPath = argv[++i];
    } else if (arg == "-t") {
      timing = true;
    } else if (arg == "-e" && hasValue) {
      script = argv[++i];
    } else if (arg[0] != '-' && script.empty()) {
      std::ifstream file(arg);
      if (!file) {
        std::cerr << "cannot read " << arg << "\n";
        return 1;
      }
      std::ostringstream text;
      text << file.rdbuf();
      script = text.str();
    } else {
      return Usage();
    }
  }
  if (script.empty()) return Usage();

  pramvix::avsplus_test::RealHost host;
  std::cout << host.Version() << "\n";
  std::string error = plugin == "-" ? "" : host.LoadPlugin(plugin);
  if (error.empty()) error = host.Evaluate(script);
  if (!error.empty()) {
    std::cerr << error << "\n";
    return 1;
  }
  const auto facts = host.Facts();
  std::cout << facts.width << "x" << facts.height << (facts.yuy2 ? " YUY2, " : ", ") << facts.numFrames
            << " frames\n";
  std::ofstream out;
  if (!outPath.empty()) out.open(outPath, std::ios::binary);
  const int count = frames < 0 || frames > facts.numFrames ? facts.numFrames : frames;
  const auto start = std::chrono::steady_clock::now();
  for (int n = 0; n < count; ++n) {
    pramvix::avsplus_test::DumpedFrame frame;
    error = timing ? host.Fetch(n) : host.Frame(n, &frame);
    if (!error.empty()) {
      std::cerr << "frame " << n << ": " << error << "\n";
      return 1;
    }
    if (timing) continue;
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(frame.bytes)));
    std::cout << "frame " << n << ": row size " << frame.rowSize << ", pitch " << frame.pitch << ", height "
              << frame.height << ", hash " << hash << "\n";
    if (out) out.write(reinterpret_cast<const char*>(frame.bytes.data()), static_cast<std::streamsize>(frame.bytes.size()));
  }
  if (timing) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d frames in %.3f s: %.1f frames per second\n", count, seconds, count / seconds);
  }
  return 0;
}
