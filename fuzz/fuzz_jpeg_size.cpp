// The photo upload hook's JPEG frame reader on arbitrary bytes: it must never
// read outside them, and a size it reports comes from a whole JPEG.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "service/PhotoAcceptance.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto frame = braxo::club::ReadJpegSize(bytes);
  if (frame) {
    if (frame->width <= 0 || frame->height <= 0 || frame->width > 65535 || frame->height > 65535)
      std::abort();
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8 || data[size - 2] != 0xFF ||
        data[size - 1] != 0xD9)
      std::abort();
  }
  return 0;
}
