// One 8-bit RGB colour: a palette entry of pal.pal or of a PNG.
#pragma once
#include <cstdint>

namespace base {

struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
  // 0xRRGGBB: a map key, or a colour as a command line names it.
  std::uint32_t Packed() const { return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b; }
};

}  // namespace base
