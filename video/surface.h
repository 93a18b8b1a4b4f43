// Surfaces: rectangles of 8-bit colour indices, row-major, rows contiguous.
// Invariant: size == width * height and pixels holds size bytes. Loaded
// surfaces are validated when read (limits in base/sprite_file.h); a failed
// load returns nullptr and a message, never a half-read surface.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace video {

struct Surface {
  bool owns;
  std::uint8_t* pixels;
  std::int32_t width;
  std::int32_t height;
  std::int32_t size;
};

struct SurfaceSet {
  char* name;
  Surface** surfaces;  // nullptr when count is 0
  std::uint16_t count;
};

// The path of a file of the sprite directory (base::GetSpritePath's buffer);
// nullptr and a message naming the file when there is no name or the path
// is too long.
const char* SpritePath(const char* name, std::string* error);
// Opens a file of the sprite directory for reading; nullptr and a message
// naming the file when SpritePath fails or the file does not open.
std::FILE* OpenSprite(const char* name, std::string* error);

// An owning surface with uninitialised pixels; nullptr for a negative size
// or when memory runs out.
Surface* CreateSurface(std::int32_t width, std::int32_t height);
Surface* WrapSurface(std::uint8_t* pixels, std::int32_t width, std::int32_t height);
// Reads one image (width, height, pixels) from the sprite directory's file.
Surface* LoadSurface(const char* name, std::string* error);
// Reads one image from an open stream and leaves the stream after it.
Surface* ReadSurface(std::FILE* stream, std::string* error);
void DestroySurface(Surface* surface);

// A 2-byte count, then that many images back to back. Nothing is kept from
// a file that is missing, truncated or declares an oversized image.
SurfaceSet* LoadSurfaceSet(const char* name, std::string* error);
void DestroySurfaceSet(SurfaceSet* set);

}  // namespace video
