// Surfaces: the back buffer and scratch rectangles; a wrapped surface
// never frees memory it was lent.
#include "video/surface.h"

#include <cstdlib>

namespace video {

Surface* CreateSurface(std::int32_t width, std::int32_t height) {
  if (width < 0 || height < 0) return nullptr;
  std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  auto* pixels = static_cast<std::uint8_t*>(std::malloc(bytes ? bytes : 1));
  if (!pixels) return nullptr;
  return new Surface{true, pixels, width, height, width * height};
}

Surface* WrapSurface(std::uint8_t* pixels, std::int32_t width, std::int32_t height) {
  return new Surface{false, pixels, width, height, width * height};
}

void DestroySurface(Surface* surface) {
  if (!surface) return;
  if (surface->owns) std::free(surface->pixels);
  delete surface;
}

}  // namespace video
