#include "plugin/arguments.h"

#include "base/arithmetic.h"

namespace pramvix {

int IntFromFloatArg(const AVSValue& args, int i) {
  const AVSValue& value = args[i];
  if (value.IsInt()) return value.AsInt();
  return TruncateToInt32(static_cast<double>(value.AsFloat()));
}

}  // namespace pramvix
