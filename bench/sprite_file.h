// Sprite sets for the benchmarks: pictures coded by the format library, as a
// sprite file's bytes or loaded through the engine's loader.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/sprite_file.h"
#include "video/sprite.h"

namespace bench {

// A benchmark cannot go on without its sprites, so a failure ends the
// program with the message.
[[noreturn]] inline void ExitWith(const char* who, const std::string& error) {
  std::fprintf(stderr, "%s: sprite set: %s\n", who, error.c_str());
  std::exit(1);
}

inline std::vector<std::uint8_t> SetFileOrExit(const std::vector<base::PixelImage>& images,
                                               const char* who) {
  std::vector<base::SpriteData> sprites(images.size());
  std::vector<std::uint8_t> file;
  std::string error;
  for (std::size_t i = 0; i < images.size(); ++i)
    if (!base::EncodeSprite(images[i], &sprites[i], &error)) ExitWith(who, error);
  if (!base::EncodeSpriteSet(sprites, &file, &error)) ExitWith(who, error);
  return file;
}

inline video::SpriteSet* MakeSetOrExit(const std::vector<base::PixelImage>& images,
                                       const char* who) {
  const std::vector<std::uint8_t> file = SetFileOrExit(images, who);
  std::string error;
  video::SpriteSet* set = video::ParseSpriteSet(file.data(), file.size(), &error);
  if (!set) ExitWith(who, error);
  return set;
}

}  // namespace bench
