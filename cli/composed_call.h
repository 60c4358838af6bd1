#pragma once
// Builds the clip of a call whose clip arguments may themselves be calls,
// through the host, with every file and standard input opened once.
#include <string>
#include <vector>

#include "expression.h"
#include "local_environment.h"
#include "shared_clips.h"
#include "y4m_clip.h"

namespace pramvix::cli {

// The command's call: `function` written as a whole call ("F(a, G(b))", with
// no further words) or a function's name followed by its argument words.
// Every function named must exist. Throws UsageError.
CallExpression CallOf(const local::LocalEnvironment& host, const std::string& function,
                      const std::vector<std::string>& args);

struct ComposedClip {
  PClip clip;
  // The stream behind the first clip argument, followed into nested calls:
  // it sets the output's format and, for a pipe, its end. None for a picture.
  Y4MClip* firstStream = nullptr;
};

// What the command says about the calls beside the filters' own words.
struct CallNotes {
  std::string context;                // of the outermost call, for a filter's error
  std::vector<std::string> warnings;  // e.g. a region without logo
};

// Nested calls are built first, each with its arguments checked by its type
// string (errors name the call and the argument; a nested call's unreadable
// file too); a call where the function wants a number is refused. The host's
// errors pass through.
ComposedClip Compose(local::LocalEnvironment& host, const CallExpression& call, SharedClips& clips,
                     CallNotes& notes);

}  // namespace pramvix::cli
