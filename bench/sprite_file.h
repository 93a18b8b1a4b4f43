// Sprite sets for the benchmarks: pictures coded by the format library and
// loaded through the engine's loader.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/sprite_file.h"
#include "video/sprite.h"

namespace bench {

// A benchmark cannot go on without its sprites, so a failure ends the
// program with the message.
inline video::SpriteSet* MakeSetOrExit(const std::vector<base::PixelImage>& images,
                                       const char* who) {
  std::vector<base::SpriteData> sprites(images.size());
  std::vector<std::uint8_t> file;
  std::string error;
  bool ok = true;
  for (std::size_t i = 0; ok && i < images.size(); ++i)
    ok = base::EncodeSprite(images[i], &sprites[i], &error);
  video::SpriteSet* set = nullptr;
  if (ok && base::EncodeSpriteSet(sprites, &file, &error))
    set = video::ParseSpriteSet(file.data(), file.size(), &error);
  if (!set) {
    std::fprintf(stderr, "%s: sprite set: %s\n", who, error.c_str());
    std::exit(1);
  }
  return set;
}

}  // namespace bench
