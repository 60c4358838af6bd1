#pragma once

namespace pramvix {

// Every text a filter raises, in one record per filter (its class's kTexts).
// The first four are the filter's own, as scripts have always seen them; the
// others guard what the system adds, each naming the filter.
struct FilterTexts {
  const char* notYUY2;       // built over a first clip that is not YUY2
  const char* incompatible;  // built over a logo clip of another size or pixel type; nullptr: not compared
  const char* width;         // frame request: row size not a multiple of 4 bytes
  const char* rightEdge;     // frame request: region ends past the row; nullptr: no region
  // Frame request, before any byte is written.
  const char* leftEdge;           // region starts left of the row
  const char* bottom;             // region rows leave the frame
  const char* logoTooSmall;       // the logo frame does not cover the region
  const char* logoNotYUY2;        // the logo clip is laid out otherwise
  const char* alternateTooSmall;  // the alternate frame does not cover the region
  const char* alternateNotYUY2;   // the alternate clip is laid out otherwise
  const char* notWritable;        // the host handed out no write pointer
  // Factory.
  const char* missingClip;        // the host called the factory without a clip
  const char* outOfMemory;        // the filter could not be built
};

// A filter's texts from its name and its four own texts.
#define PRAMVIX_FILTER_TEXTS(NAME, NOT_YUY2, INCOMPATIBLE, WIDTH, RIGHT_EDGE)               \
  ::pramvix::FilterTexts {                                                                  \
    NOT_YUY2, INCOMPATIBLE, WIDTH, RIGHT_EDGE, NAME ": X position must not be negative",   \
        NAME ": the region reaches below the bottom of the frame",                          \
        NAME ": the logo frame is too small for the region", NAME ": the logo clip must be YUY2", \
        NAME ": the alternate frame is too small for the region",                           \
        NAME ": the alternate clip must be YUY2", NAME ": the host could not make the frame writable", \
        NAME ": a clip argument is missing", NAME ": out of memory"                         \
  }

}  // namespace pramvix
