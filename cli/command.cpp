#include "command.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "call_report.h"
#include "cli_error.h"
#include "command_line.h"
#include "composed_call.h"
#include "function_help.h"
#include "local_environment.h"
#include "logo/logo_command.h"
#include "plugin_path.h"
#include "progress.h"
#include "render.h"
#include "scan/scan_command.h"
#include "y4m_clip.h"

namespace pramvix::cli {

namespace {

using local::HostError;
using local::LocalEnvironment;

// The output: standard output, or a file that is removed again unless the
// run completes, so a failed run leaves no partial file behind.
struct OutputFile {
  std::FILE* file = stdout;
  std::string name = "standard output";
  bool complete = false;
  ~OutputFile() {
    if (file == stdout) return;
    std::fclose(file);
    if (!complete) std::remove(name.c_str());
  }
};

void LoadPlugin(LocalEnvironment& host, const std::string& option) {
  const std::string path = FindPlugin(option);
  try {
    host.LoadPlugin(path);
  } catch (const HostError& e) {
    throw CliError(e.what());
  }
}

int List(LocalEnvironment& host) {
  for (const auto& function : host.Functions()) std::printf("%s\n", Signature(function.name, function.params).c_str());
  return kExitOk;
}

// `context` receives a line about the call once its arguments are read.
int Run(const CommandLine& command, std::string& context) {
  if (command.action == CommandLine::Action::kVersion) {
    std::printf("pramvix %s\n", PRAMVIX_VERSION);
    return kExitOk;
  }
  LocalEnvironment host;
  LoadPlugin(host, command.plugin);
  if (command.action == CommandLine::Action::kList) return List(host);
  if (command.action == CommandLine::Action::kHelp && command.function.empty()) {
    std::fputs(UsageText().c_str(), stdout);
    return kExitOk;
  }
  if (command.action == CommandLine::Action::kHelp) {
    const LocalEnvironment::Function* function = host.Find(command.function);
    if (!function) {
      const std::string nearest = NearestFunction(command.function, host.Functions());
      throw UsageError("there is no function named '" + command.function + "'" +
                       (nearest.empty() ? "; " : "; did you mean " + nearest + "? ") + "pramvix --list shows them");
    }
    std::fputs(HelpText(function->name, function->params).c_str(), stdout);
    return kExitOk;
  }
  const CallExpression call = CallOf(host, command.function, command.args);

  OutputFile output;
  if (command.output.empty() || command.output == "-") {
    if (isatty(STDOUT_FILENO)) throw UsageError("standard output is a terminal; give -o FILE or a pipe");
  }

  SharedClips clips;
  CallNotes notes;
  const ComposedClip composed = Compose(host, call, clips, notes);
  context = notes.context;
  if (!command.quiet) {
    for (const std::string& warning : notes.warnings) std::fprintf(stderr, "%s\n", warning.c_str());
  }
  const PClip& clip = composed.clip;
  Y4MClip* firstStream = composed.firstStream;
  const VideoInfo& vi = clip->GetVideoInfo();

  if (!command.output.empty() && command.output != "-") {
    output.file = std::fopen(command.output.c_str(), "wb");
    if (!output.file) {
      output.file = stdout;
      throw CliError(command.output + ": cannot open for writing");
    }
    output.name = command.output;
  }

  if (command.pngFrame >= 0) {
    RenderPNG(*clip, firstStream, command.pngFrame, host, output.file, output.name);
    output.complete = true;
    return kExitOk;
  }
  Y4MFormat format;
  if (firstStream) format = firstStream->Format();
  format.width = vi.width;
  format.height = vi.height;
  format.fpsNumerator = vi.fps_numerator;
  format.fpsDenominator = vi.fps_denominator;
  int total = 0;
  if (vi.num_frames != kUnknownLength) {
    const int last = command.last < 0 ? vi.num_frames - 1 : std::min(command.last, vi.num_frames - 1);
    total = std::max(last - command.first + 1, 0);
  }
  Progress progress(!command.quiet && isatty(STDERR_FILENO), total);
  // One chain of filters serves every thread. A filter keeps nothing between
  // requests (its fields are fixed when it is built; the per-instance error
  // field that makes a real host build one instance per thread belongs to the
  // C interface's bridge, which this host does not use), and the concurrency
  // test asks every function for frames from several threads at once under
  // the thread sanitizer. The clips below it take requests from any thread.
  const int threads = ThreadsToRun(command.threads);
  clips.KeepAhead(threads > 1 ? RenderWindow(threads) : 0);
  RenderY4M(*clip, firstStream, format, RenderRange{command.first, command.last}, host, output.file, output.name,
            [&progress](int frames) { progress.Update(frames); }, threads);
  if (output.file != stdout) {
    output.complete = std::fclose(std::exchange(output.file, stdout)) == 0;
    if (!output.complete) {
      std::remove(command.output.c_str());
      throw CliError(command.output + ": write error");
    }
  }
  return kExitOk;
}

}  // namespace

int RunCommand(const std::vector<std::string>& words) {
  CommandLine command;
  std::string context;
  try {
    if (!words.empty() && words[0] == "scan") return scan::RunScan({words.begin() + 1, words.end()});
    // The logo subcommand reads a recording, not a function's arguments.
    if (!words.empty() && words[0] == "logo") return logo::RunLogoCommand({words.begin() + 1, words.end()});
    command = ParseCommandLine(words);
    if (command.action == CommandLine::Action::kUsage) {
      std::fputs(UsageText().c_str(), stderr);
      return kExitUsage;
    }
    return Run(command, context);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "pramvix: %s\n", e.what());
    return kExitUsage;
  } catch (const HostError& e) {
    // A filter's own error: its text exactly.
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", e.what());
    if (!context.empty()) std::fprintf(stderr, "%s\n", context.c_str());
    return kExitFailed;
  } catch (const CliError& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "pramvix: %s\n", e.what());
    return kExitFailed;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "pramvix: out of memory\n");
    return kExitFailed;
  }
}

}  // namespace pramvix::cli
