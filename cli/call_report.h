#pragma once
// What the command says about a call beside the filter's own words: one line
// of context after a filter's error, a warning when the region holds no logo,
// and the nearest function name when a name is unknown.
#include <string>
#include <vector>

#include "host/host.h"
#include "local_environment.h"

namespace pramvix::cli {

struct CallWords {
  const std::string& function;
  const std::string& params;
  const std::vector<AVSValue>& args;
  const std::vector<std::string>& words;  // the arguments as written
};

// "pramvix: NoLogo on 720x576 frames, region x 600, y 20, 80x50, reference
// picture 720x576 (frame 0 of logo.png)": what is known of the call.
std::string CallContext(const CallWords& call);

// A warning when the call's reference picture marks no pixel of its region at
// its threshold (the filter would then change nothing, or nothing useful);
// empty otherwise, and when the reference cannot be read up front (a pipe).
std::string NoLogoWarning(const CallWords& call, IScriptEnvironment* env);

// The registered name nearest to `name`, ignoring case; empty when none is close.
std::string NearestFunction(const std::string& name, const std::vector<local::LocalEnvironment::Function>& functions);

}  // namespace pramvix::cli
