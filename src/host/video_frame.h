#pragma once
#include <cstdint>

#include "host/counted.h"

namespace pramvix {

// A frame as the host hands it out: rows of bytes, top row first, consecutive
// rows GetPitch() bytes apart.
class VideoFrame : public RefCounted {
 public:
  virtual ~VideoFrame() = default;
  virtual const uint8_t* GetReadPtr() const = 0;
  // Available only while one handle alone holds the frame; null otherwise.
  virtual uint8_t* GetWritePtr() = 0;
  virtual int GetPitch() const = 0;
  virtual int GetRowSize() const = 0;
  virtual int GetHeight() const = 0;

  bool IsWritable() const { return RefCount() == 1; }
};

using PVideoFrame = Counted<VideoFrame>;

}  // namespace pramvix
