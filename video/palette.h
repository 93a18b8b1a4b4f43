// The base palette and blend table from pal.pal, and the working palette
// that fades change. Only AdjustPalette sends colours to the display.
#pragma once
#include <cstdint>
#include <string>

#include "base/colour.h"

namespace video {

// The colour of the file formats, so palettes go to PNG and GIF writers as
// they are.
using Color = base::Rgb;

extern Color WorkPalette[256];
extern Color BasePalette[256];
// The colours last sent by AdjustPalette (black before the first upload):
// what the display shows, and what recorded frames are written through.
extern Color ShownPalette[256];
// Entry (d, s) at (d * 256 + s) * 3; bytes 0..2 for blend levels 0..2.
extern std::uint8_t BlendTable[65536 * 3];

// Reads pal.pal (base/pal_file.h); the working palette becomes black. False
// with a message when the file is missing or shorter than 197376 bytes.
bool LoadPalette(const char* path, std::string* error);
// The same from memory (tests, fuzzing).
bool ReadPalette(const std::uint8_t* bytes, std::size_t length, std::string* error);

void AdjustPalette();
void ResetPalette();
void SetPalette(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
void FadeIn(std::uint8_t steps);
void FadeOutBlack(std::uint8_t steps);
void FadeOutWhite(std::uint8_t steps);
int SetGamma(float red, float green, float blue);

}  // namespace video
