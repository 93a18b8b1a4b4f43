// Surfaces and surface sets. Loaders check each declared size against the
// limits of base/sprite_file before allocating, so a missing, truncated or
// oversized file gives nullptr and a message, never a half-read surface.
#include "video/surface.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/bytes.h"
#include "base/paths.h"
#include "base/sprite_file.h"

namespace video {

const char* SpritePath(const char* name, std::string* error) {
  if (!name) {
    *error = "no file name given";
    return nullptr;
  }
  const char* path = base::GetSpritePath(name);
  if (!path) *error = std::string(name) + ": the path is too long";
  return path;
}

std::FILE* OpenSprite(const char* name, std::string* error) {
  const char* path = SpritePath(name, error);
  if (!path) return nullptr;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) *error = std::string(name) + ": cannot open: " + std::strerror(errno);
  return f;
}

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

Surface* ReadSurface(std::FILE* stream, std::string* error) {
  std::uint8_t header[8];
  if (std::fread(header, 1, sizeof header, stream) != sizeof header) {
    *error = "truncated image header";
    return nullptr;
  }
  std::int32_t width = base::GetLe32(header), height = base::GetLe32(header + 4);
  if (!base::CheckSurfaceSize(width, height, error)) return nullptr;
  Surface* s = CreateSurface(width, height);
  if (!s) {
    *error =
        "out of memory for a " + std::to_string(width) + " x " + std::to_string(height) + " image";
    return nullptr;
  }
  std::size_t bytes = static_cast<std::size_t>(s->size);
  if (std::fread(s->pixels, 1, bytes, stream) != bytes) {
    DestroySurface(s);
    *error = "truncated image: " + std::to_string(width) + " x " + std::to_string(height) +
             " needs " + std::to_string(bytes) + " pixel bytes";
    return nullptr;
  }
  return s;
}

Surface* LoadSurface(const char* name, std::string* error) {
  std::FILE* f = OpenSprite(name, error);
  if (!f) return nullptr;
  Surface* s = ReadSurface(f, error);
  std::fclose(f);
  if (!s) *error = std::string(name) + ": " + *error;
  return s;
}

void DestroySurface(Surface* surface) {
  if (!surface) return;
  if (surface->owns) std::free(surface->pixels);
  delete surface;
}

SurfaceSet* LoadSurfaceSet(const char* name, std::string* error) {
  std::FILE* f = OpenSprite(name, error);
  if (!f) return nullptr;
  std::uint8_t head[2];
  std::vector<Surface*> loaded;
  bool ok = std::fread(head, 1, 2, f) == 2;
  if (!ok) *error = "truncated: no image count";
  std::uint16_t count = ok ? static_cast<std::uint16_t>(base::GetLe16(head)) : 0;
  for (std::uint16_t i = 0; ok && i < count; ++i) {
    Surface* s = ReadSurface(f, error);
    if (!s) {
      *error = "image " + std::to_string(i) + " of " + std::to_string(count) + ": " + *error;
      ok = false;
      break;
    }
    loaded.push_back(s);
  }
  std::fclose(f);
  if (!ok) {
    for (Surface* s : loaded) DestroySurface(s);
    *error = std::string(name) + ": " + *error;
    return nullptr;
  }
  auto* set = new SurfaceSet{nullptr, nullptr, count};
  set->name = new char[std::strlen(name) + 1];
  std::strcpy(set->name, name);
  if (count) {
    set->surfaces = new Surface*[count];
    std::copy(loaded.begin(), loaded.end(), set->surfaces);
  }
  return set;
}

void DestroySurfaceSet(SurfaceSet* set) {
  if (!set) return;
  delete[] set->name;
  for (std::uint16_t i = 0; i < set->count && set->surfaces; ++i) DestroySurface(set->surfaces[i]);
  delete[] set->surfaces;
  delete set;
}

}  // namespace video
