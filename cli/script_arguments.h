#pragma once
#include <functional>
#include <string>
#include <vector>

#include "host/host.h"

namespace pramvix::cli {

using ClipOpener = std::function<PClip(const std::string& path)>;

// Turns the command's words into a function's arguments by its type string:
// "c" a clip (opened by `openClip`), "i" a 32-bit integer, "f" a number (an
// integer too), "b" true/false, "s" the word itself. A wrong count or kind
// throws UsageError naming the function and its expected arguments, before
// any clip is opened. Clips are opened first to last.
std::vector<AVSValue> ReadArguments(const std::string& function, const std::string& types,
                                    const std::vector<std::string>& words, const ClipOpener& openClip);

}  // namespace pramvix::cli
