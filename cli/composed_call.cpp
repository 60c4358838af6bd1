#include "composed_call.h"

#include "call_report.h"
#include "cli_error.h"
#include "function_help.h"
#include "script_arguments.h"

namespace pramvix::cli {

namespace {

using local::LocalEnvironment;

void CheckNames(const LocalEnvironment& host, const CallExpression& call) {
  if (!host.Find(call.function)) {
    const std::string nearest = NearestFunction(call.function, host.Functions());
    throw UsageError("there is no function named '" + call.function + "'" +
                     (nearest.empty() ? "; " : "; did you mean " + nearest + "? ") + "pramvix --list shows them");
  }
  for (const ExpressionArgument& argument : call.args) {
    if (argument.call) CheckNames(host, *argument.call);
  }
}

const char* KindOf(char type) {
  switch (type) {
    case 'i':
      return "an integer";
    case 'f':
      return "a number";
    case 'b':
      return "true or false";
    default:
      return "a word";
  }
}

}  // namespace

CallExpression CallOf(const LocalEnvironment& host, const std::string& function, const std::vector<std::string>& args) {
  CallExpression call;
  if (IsCallText(function)) {
    if (!args.empty()) throw UsageError("a call written whole, as " + function + ", takes no further arguments");
    call = ReadExpression(function);
  } else {
    call.function = function;
    for (const std::string& word : args) call.args.push_back(ExpressionArgument{word, nullptr, 0});
  }
  CheckNames(host, call);
  return call;
}

namespace {

ComposedClip ComposeAt(LocalEnvironment& host, const CallExpression& call, SharedClips& clips, CallNotes& notes,
                       bool nested) {
  const LocalEnvironment::Function* function = host.Find(call.function);
  if (!function) throw UsageError("there is no function named '" + call.function + "'");
  const std::string& types = function->params;
  std::vector<std::string> words;
  for (size_t i = 0; i < call.args.size(); ++i) {
    const ExpressionArgument& argument = call.args[i];
    if (argument.call && i < types.size() && types[i] != 'c') {
      throw UsageError(function->name + ": argument " + std::to_string(i + 1) + " (" +
                       ArgumentName(function->name, types, i) + ") must be " + KindOf(types[i]) +
                       ", not a call of " + argument.call->function);
    }
    words.push_back(argument.call ? argument.call->function + "(...)" : argument.word);
  }
  ComposedClip composed;
  bool firstClip = true;
  size_t next = 0;  // ReadArguments opens the clip arguments in order
  const std::vector<AVSValue> values =
      ReadArguments(function->name, types, words, [&](const std::string&) -> PClip {
        while (types[next] != 'c') ++next;
        const ExpressionArgument& argument = call.args[next++];
        PClip clip;
        Y4MClip* stream = nullptr;
        if (argument.call) {
          const ComposedClip inner = ComposeAt(host, *argument.call, clips, notes, true);
          clip = inner.clip;
          stream = inner.firstStream;
        } else {
          try {
            clip = clips.Open(argument.word);
          } catch (const CliError& e) {
            // Inside a composition the file alone may not say which call named it.
            if (!nested) throw;
            throw CliError(function->name + ": argument " + std::to_string(next) + " (" +
                           ArgumentName(function->name, types, next - 1) + "): " + e.what());
          }
          stream = dynamic_cast<Y4MClip*>(clip.get());
        }
        if (firstClip) composed.firstStream = stream;
        firstClip = false;
        return clip;
      });
  const CallWords said{function->name, types, values, words};
  notes.context = CallContext(said);  // the outermost call is built last
  if (std::string warning = NoLogoWarning(said, &host); !warning.empty()) notes.warnings.push_back(warning);
  const AVSValue result = host.Invoke(function->name, values);
  if (!result.IsClip() || !result.AsClip()) throw CliError(function->name + " gave no clip");
  composed.clip = result.AsClip();
  return composed;
}

}  // namespace

ComposedClip Compose(LocalEnvironment& host, const CallExpression& call, SharedClips& clips, CallNotes& notes) {
  return ComposeAt(host, call, clips, notes, false);
}

}  // namespace pramvix::cli
