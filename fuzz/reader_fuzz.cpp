// Feeds arbitrary bytes to the command's Y4M and PNG readers: each input must
// decode to pictures of consistent size or be refused with a CliError.
#include <cstdio>
#include <cstdlib>

#include "cli_error.h"
#include "png_io.h"
#include "y4m.h"

namespace {
void Check(const pramvix::local::Picture& picture) {
  if (picture.bytes.size() != static_cast<size_t>(picture.rowSize) * picture.height || picture.rowSize % 4 != 0) {
    std::fprintf(stderr, "reader_fuzz: a decoded picture does not hold its own size\n");
    std::abort();
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  try {
    // The first byte chooses the reader.
    if (data[0] & 1) {
      Check(pramvix::cli::DecodePNG(data + 1, size - 1));
    } else {
      for (const auto& picture : pramvix::cli::DecodeY4M(data + 1, size - 1, 8)) Check(picture);
    }
  } catch (const pramvix::cli::CliError&) {
  }
  return 0;
}
