// Surfaces: rectangles of 8-bit colour indices, row-major, rows contiguous.
// Invariant: size == width * height and pixels holds size bytes.
#pragma once
#include <cstdint>

namespace video {

struct Surface {
  bool owns;
  std::uint8_t* pixels;
  std::int32_t width;
  std::int32_t height;
  std::int32_t size;
};

// An owning surface with uninitialised pixels; nullptr for a negative size
// or when memory runs out.
Surface* CreateSurface(std::int32_t width, std::int32_t height);
Surface* WrapSurface(std::uint8_t* pixels, std::int32_t width, std::int32_t height);
void DestroySurface(Surface* surface);

}  // namespace video
