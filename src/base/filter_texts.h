#pragma once

namespace pramvix {

// The texts a filter raises from its frame request. The first two are each
// filter's own; the others guard the edges of the frames it reads and writes.
struct FilterTexts {
  const char* width;              // row size not a multiple of 4 bytes
  const char* rightEdge;          // region ends past the row
  const char* leftEdge;           // region starts left of the row
  const char* bottom;             // region rows leave the frame
  const char* logoTooSmall;       // the logo frame does not cover the region
  const char* logoNotYUY2;        // the logo clip is laid out otherwise
  const char* alternateTooSmall;  // the alternate frame does not cover the region
  const char* alternateNotYUY2;   // the alternate clip is laid out otherwise
  const char* notWritable;        // the host handed out no write pointer
};

// Builds a filter's texts from its name and its two own messages.
#define PRAMVIX_FILTER_TEXTS(NAME, WIDTH_TEXT, RIGHT_EDGE_TEXT)                       \
  ::pramvix::FilterTexts {                                                            \
    WIDTH_TEXT, RIGHT_EDGE_TEXT, NAME ": X position must not be negative",            \
        NAME ": the region reaches below the bottom of the frame",                    \
        NAME ": the logo frame is too small for the region",                          \
        NAME ": the logo clip must be YUY2",                                          \
        NAME ": the alternate frame is too small for the region",                     \
        NAME ": the alternate clip must be YUY2",                                     \
        NAME ": the host could not make the frame writable"                           \
  }

}  // namespace pramvix
