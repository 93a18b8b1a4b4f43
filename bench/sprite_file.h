// Building sprite-set files in memory for the benchmarks.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "video/sprite.h"

namespace bench {

inline void Put16(std::vector<std::uint8_t>* out, unsigned v) {
  out->push_back(static_cast<std::uint8_t>(v));
  out->push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void Put32(std::vector<std::uint8_t>* out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Appends one sprite record (width, height, size, rows) to a set file.
inline void PutSprite(std::vector<std::uint8_t>* file, int width, int height,
                      const std::vector<std::uint8_t>& rows) {
  Put32(file, static_cast<std::uint32_t>(width));
  Put32(file, static_cast<std::uint32_t>(height));
  Put32(file, static_cast<std::uint32_t>(rows.size()));
  file->insert(file->end(), rows.begin(), rows.end());
}

// Loads the file through the engine's loader; a benchmark cannot go on
// without it, so a failure ends the program with the loader's message.
inline video::SpriteSet* ParseOrExit(const std::vector<std::uint8_t>& file, const char* who) {
  std::string error;
  video::SpriteSet* set = video::ParseSpriteSet(file.data(), file.size(), &error);
  if (!set) {
    std::fprintf(stderr, "%s: sprite set: %s\n", who, error.c_str());
    std::exit(1);
  }
  return set;
}

}  // namespace bench
