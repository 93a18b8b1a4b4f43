// Surface files, read back to back through a real stream.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "video/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string error;
  if (std::FILE* f = fmemopen(const_cast<std::uint8_t*>(data), size, "rb")) {
    while (video::Surface* s = video::ReadSurface(f, &error)) video::DestroySurface(s);
    std::fclose(f);
  }
  return 0;
}
