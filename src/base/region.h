#pragma once

namespace pramvix {

// The logo region as the script gives it: top-left corner (pixels, rows) and
// size, stored unchanged.
struct Region {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool Empty() const { return width <= 0 || height <= 0; }
  // A region with y of 0 or less starts at the top row.
  int FirstRow() const { return y > 0 ? y : 0; }
  int RowCount() const { return height > 0 ? height : 0; }
};

}  // namespace pramvix
