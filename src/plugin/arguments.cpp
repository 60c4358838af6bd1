#include "plugin/arguments.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "base/arithmetic.h"

namespace pramvix {

int IntFromFloatArg(const AVSValue& args, int i) {
  const AVSValue& value = args[i];
  if (value.IsInt()) return value.AsInt();
  const double f = value.AsFloat();
  // An infinite value saturates like any other beyond the 32-bit range.
  if (std::isinf(f)) return f > 0 ? std::numeric_limits<int32_t>::max() : std::numeric_limits<int32_t>::min();
  return TruncateToInt32(f);
}

}  // namespace pramvix
