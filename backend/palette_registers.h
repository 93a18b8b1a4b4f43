// The display controller's palette port as the engine drives it: a write
// to the index register sets the colour that the next data writes fill;
// each colour then takes two data writes, green * 256 + blue and then red.
// Both SDL displays decode their palette with this; it holds no SDL.
#pragma once
#include <cstdint>

#include "platform/platform.h"

namespace backend {

class PaletteRegisters {
 public:
  struct Rgb {
    std::uint8_t r, g, b;
  };

  // Feeds one register write. True when it completed colour 255, the end of
  // an upload (the moment the screen's colours change).
  bool Write(std::uint32_t offset, std::uint16_t value) {
    if (offset == platform::kRegPaletteIndex) {
      index_ = static_cast<std::uint8_t>(value);
      have_green_blue_ = false;
      return false;
    }
    if (offset != platform::kRegPaletteData) return false;
    if (!have_green_blue_) {
      green_blue_ = value;
      have_green_blue_ = true;
      return false;
    }
    have_green_blue_ = false;
    colours_[index_] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(green_blue_ >> 8),
                        static_cast<std::uint8_t>(green_blue_)};
    return index_++ == 255;
  }

  const Rgb& operator[](int i) const { return colours_[i]; }

 private:
  Rgb colours_[256] = {};
  std::uint8_t index_ = 0;
  std::uint16_t green_blue_ = 0;
  bool have_green_blue_ = false;
};

}  // namespace backend
