#pragma once
// How each script function is called from one common set of inputs, keyed by
// function name, and which bytes of the main frame its requests may write.
// A new function joins the robustness and concurrency tests with one row.
#include <cstdint>
#include <string>
#include <vector>

#include "base/region.h"
#include "host/host.h"
#include "picture.h"

namespace pramvix::testing {

// The inputs a call is made from; each function takes what it needs.
struct CallInputs {
  PClip main, logo, alternate;
  int logoFrame = 0;
  int threshold = 10;
  Region region;
};

// The bytes of the main frame a request may change: rows [firstRow, endRow)
// and row bytes [firstByte, endByte); luma bytes only unless `chroma`. Chroma
// bytes in [chromaFirstByte, chromaEndByte) of those rows may change as well.
struct Reach {
  int firstRow = 0, endRow = 0;
  int firstByte = 0, endByte = 0;
  bool chroma = false;
  int chromaFirstByte = 0, chromaEndByte = 0;

  bool Covers(int row, int byte) const {
    if (row < firstRow || row >= endRow) return false;
    if (byte % 2 == 1 && byte >= chromaFirstByte && byte < chromaEndByte) return true;
    return byte >= firstByte && byte < endByte && (chroma || byte % 2 == 0);
  }
};

struct FilterCall {
  const char* function;
  bool usesAlternate;
  std::vector<AVSValue> (*args)(const CallInputs& in);
  // For a main frame of this many pixels and rows.
  Reach (*reach)(const Region& region, int width, int height);
  // The function may instead hand back the alternate clip's frame untouched.
  bool mayReturnAlternate;
  // Position of the region's x in the arguments (y, width, height follow);
  // -1 when the function has no region.
  int regionArg;
  // The frames a request for frame n fetches, in order ("main", "alternate",
  // "logo"), each once.
  std::vector<std::string> fetches;
};

const std::vector<FilterCall>& FilterCalls();
// The row of a function, or null when it has none.
const FilterCall* FilterCallOf(const std::string& function);

// A YUY2 picture whose every byte comes from a fixed seed, so that any stray
// or missing write shows and every run sees the same bytes.
local::Picture Patterned(int width, int height, uint32_t seed);

// The first byte of `out` outside the reach that differs from `main`,
// described; empty when there is none.
std::string StrayWrite(const local::Picture& out, const local::Picture& main, const Reach& reach);

// No guard or padding byte of a local host frame has changed.
bool Intact(const PVideoFrame& frame);

}  // namespace pramvix::testing
