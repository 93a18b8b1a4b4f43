// One 8-bit RGB colour: a palette entry of pal.pal or of a PNG.
#pragma once
#include <cstdint>

namespace base {

struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};

}  // namespace base
