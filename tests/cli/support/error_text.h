#pragma once
// The text of the error a call throws, so that tables of cases can hold the
// expected text beside the input.
#include <string>

#include "cli_error.h"

namespace pramvix::testing {

// What `call` throws as an E, or "" when it returns.
template <class E = cli::CliError, class Call>
std::string ErrorText(Call&& call) {
  try {
    call();
  } catch (const E& e) {
    return e.what();
  }
  return "";
}

}  // namespace pramvix::testing
