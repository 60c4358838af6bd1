#pragma once
// Running IfLogo and IfNoLogo over one-frame clips, and reading rows of
// pictures with the kernels.
#include <string>
#include <vector>

#include "base/region.h"
#include "base/yuy2.h"
#include "support/host_test.h"

namespace pramvix::testing {

class SwitchTest : public HostTest {
 protected:
  // An alternate picture of another size than any main picture here, so a
  // result shows which frame came back.
  static Picture Alternate() { return Picture::YUY2(6, 1, 77, 99); }

  // `function` over (main, alternate, logo) with logo frame 0; frame 0's picture.
  Picture Switch(const std::string& function, const Picture& main, const Picture& logo, int frameThreshold,
                 int logoThreshold, const Region& region, const Picture& alternate = Alternate()) {
    return Run(function, {ClipOf(main), ClipOf(alternate), ClipOf(logo), 0, frameThreshold, logoThreshold, region.x,
                          region.y, region.width, region.height});
  }
};

// Luma rows over a picture's row r, for the kernels.
inline MutableLumaRow MutableRow(Picture& picture, int r) {
  return MutableLumaRow(&picture.Byte(r, 0), picture.rowSize / 2);
}
inline ConstLumaRow ConstRow(const Picture& picture, int r) {
  return ConstLumaRow(picture.bytes.data() + static_cast<size_t>(r) * picture.rowSize, picture.rowSize / 2);
}

}  // namespace pramvix::testing
