#include <utility>

#include "avsplus/bridge.h"

namespace pramvix::avsplus {

// The geometry of a frame never changes, so it is read once.
RealFrame::RealFrame(::PVideoFrame frame)
    : frame_(std::move(frame)),
      read_(frame_->GetReadPtr()),
      pitch_(frame_->GetPitch()),
      rowSize_(frame_->GetRowSize()),
      height_(frame_->GetHeight()) {}

uint8_t* RealFrame::GetWritePtr() {
  if (!IsWritable() || !frame_->IsWritable()) return nullptr;
  return frame_->GetWritePtr();
}

}  // namespace pramvix::avsplus
