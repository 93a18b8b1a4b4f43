// Surfaces (placeholder loaders until the video work lands).
#include "video/surface.h"

#include <cstdlib>

namespace video {

Surface* CreateSurface(std::int32_t width, std::int32_t height) {
  Surface* s = new Surface{true, nullptr, width, height, width * height};
  s->pixels = static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(s->size ? s->size : 1)));
  return s;
}

Surface* WrapSurface(std::uint8_t* pixels, std::int32_t width, std::int32_t height) {
  return new Surface{false, pixels, width, height, width * height};
}

Surface* LoadSurface(const char*, std::string* error) {
  *error = "not implemented";
  return nullptr;
}

Surface* ReadSurface(std::FILE*, std::string* error) {
  *error = "not implemented";
  return nullptr;
}

void DestroySurface(Surface* surface) {
  if (!surface) return;
  if (surface->owns) std::free(surface->pixels);
  delete surface;
}

SurfaceSet* LoadSurfaceSet(const char*, std::string* error) {
  *error = "not implemented";
  return nullptr;
}

void DestroySurfaceSet(SurfaceSet*) {}

}  // namespace video
