#include "command.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>

#include "cli_error.h"
#include "command_line.h"
#include "function_help.h"
#include "local_environment.h"
#include "logo/logo_command.h"
#include "plugin_path.h"
#include "render.h"
#include "script_arguments.h"
#include "y4m_clip.h"

namespace pramvix::cli {

namespace {

using local::HostError;
using local::LocalEnvironment;

// Frames done and frames per second on a terminal, at most a few times a second.
class Progress {
 public:
  explicit Progress(bool enabled) : enabled_(enabled), start_(Clock::now()), shown_(start_) {}
  ~Progress() {
    if (enabled_ && frames_ > 0) std::fputc('\n', stderr);
  }
  void Update(int frames) {
    frames_ = frames;
    if (!enabled_) return;
    const auto now = Clock::now();
    if (now - shown_ < std::chrono::milliseconds(250)) return;
    shown_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    std::fprintf(stderr, "\rpramvix: %d frames, %.1f fps ", frames, seconds > 0 ? frames / seconds : 0.0);
  }

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  Clock::time_point start_, shown_;
  int frames_ = 0;
};

struct OutputFile {
  std::FILE* file = stdout;
  std::string name = "standard output";
  ~OutputFile() {
    if (file != stdout) std::fclose(file);
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

int Run(const CommandLine& command) {
  LocalEnvironment host;
  LoadPlugin(host, command.plugin);
  if (command.action == CommandLine::Action::kList) return List(host);
  if (command.action == CommandLine::Action::kHelp && command.function.empty()) {
    std::fputs(UsageText().c_str(), stdout);
    return kExitOk;
  }
  const LocalEnvironment::Function* function = host.Find(command.function);
  if (!function) {
    throw UsageError("there is no function named '" + command.function + "'; pramvix --list shows them");
  }
  if (command.action == CommandLine::Action::kHelp) {
    std::fputs(HelpText(function->name, function->params).c_str(), stdout);
    return kExitOk;
  }

  OutputFile output;
  if (command.output.empty() || command.output == "-") {
    if (isatty(STDOUT_FILENO)) throw UsageError("standard output is a terminal; give -o FILE or a pipe");
  }

  const std::vector<AVSValue> args = ReadArguments(function->name, function->params, command.args, OpenClip);
  // The first clip argument sets the output's format and, for a pipe, its end.
  PClip first;
  for (size_t i = 0; i < args.size() && !first; ++i) {
    if (function->params[i] == 'c') first = args[i].AsClip();
  }
  auto* firstStream = dynamic_cast<Y4MClip*>(first.get());

  const AVSValue result = host.Invoke(function->name, args);
  const PClip clip = result.IsClip() ? result.AsClip() : PClip();
  if (!clip) throw CliError(function->name + " gave no clip");
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
    return kExitOk;
  }
  Y4MFormat format;
  if (firstStream) format = firstStream->Format();
  format.width = vi.width;
  format.height = vi.height;
  format.fpsNumerator = vi.fps_numerator;
  format.fpsDenominator = vi.fps_denominator;
  Progress progress(!command.quiet && isatty(STDERR_FILENO));
  RenderY4M(*clip, firstStream, format, RenderRange{command.first, command.last}, host, output.file, output.name,
            [&progress](int frames) { progress.Update(frames); });
  if (output.file != stdout && std::fclose(std::exchange(output.file, stdout)) != 0) {
    throw CliError(command.output + ": write error");
  }
  return kExitOk;
}

}  // namespace

int RunCommand(const std::vector<std::string>& words) {
  CommandLine command;
  try {
    // The logo subcommand reads a recording, not a function's arguments.
    if (!words.empty() && words[0] == "logo") return logo::RunLogoCommand({words.begin() + 1, words.end()});
    command = ParseCommandLine(words);
    if (command.action == CommandLine::Action::kUsage) {
      std::fputs(UsageText().c_str(), stderr);
      return kExitUsage;
    }
    return Run(command);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "pramvix: %s\n", e.what());
    return kExitUsage;
  } catch (const HostError& e) {
    // A filter's own error: its text exactly.
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", e.what());
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
