#include "avsc/bridge.h"

namespace pramvix::avsc {

// The geometry of a frame never changes, so it is read once.
CFrame::CFrame(AVS_VideoFrame* frame)
    : frame_(frame),
      read_(Host().avs_get_read_ptr_p(frame, AVS_DEFAULT_PLANE)),
      pitch_(Host().avs_get_pitch_p(frame, AVS_DEFAULT_PLANE)),
      rowSize_(Host().avs_get_row_size_p(frame, AVS_DEFAULT_PLANE)),
      height_(Host().avs_get_height_p(frame, AVS_DEFAULT_PLANE)) {}

CFrame::~CFrame() { Host().avs_release_video_frame(frame_); }

uint8_t* CFrame::GetWritePtr() {
  if (!IsWritable() || !Host().avs_is_writable(frame_)) return nullptr;
  return Host().avs_get_write_ptr_p(frame_, AVS_DEFAULT_PLANE);
}

}  // namespace pramvix::avsc
