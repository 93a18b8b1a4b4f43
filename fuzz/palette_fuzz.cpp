// pal.pal loading: any length, any bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "video/palette.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string error;
  video::ReadPalette(data, size, &error);
  return 0;
}
