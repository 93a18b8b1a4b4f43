// The demo's art generator: palette, index canvases, shading helpers, PNG and
// WAV writers. Everything is deterministic: no clock, no libc rand().
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/sound_file.h"

namespace demo_art {

struct Rgb {
  std::uint8_t r, g, b;
};

// The game palette: sixteen ramps of sixteen colours, dark to light.
enum Ramp {
  kGrey = 0,      // black to white; index 0 is the cleared background
  kNavy = 16,     // space blue
  kViolet = 32,   // nebula
  kTeal = 48,     // cyan glass, shockwave
  kSteel = 64,    // cool metal
  kBronze = 80,   // warm metal
  kRed = 96,      // deep red
  kOrange = 112,  // fire orange
  kYellow = 128,  // yellow to white
  kGreen = 144,
  kPink = 160,   // magenta enemy shots
  kBlue = 176,   // electric blue player shots
  kOlive = 192,  // carrier hull
  kRust = 208,   // rocks, rust
  kLilac = 224,  // enemy hull
  kAmber = 240,
};

const std::array<Rgb, 256>& Palette();

// An image of palette indices with a coverage byte per pixel
// (0 transparent, 64/128/192 blended at 1/4, 1/2, 3/4, 255 opaque).
struct Canvas {
  int w = 0, h = 0;
  std::vector<std::uint8_t> index, alpha;
  Canvas() = default;
  Canvas(int width, int height)
      : w(width), h(height), index(width * height, 0), alpha(width * height, 0) {}
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
  void Set(int x, int y, int i, int a = 255) {
    if (!Inside(x, y)) return;
    index[y * w + x] = static_cast<std::uint8_t>(i);
    alpha[y * w + x] = static_cast<std::uint8_t>(a);
  }
  int IndexAt(int x, int y) const { return Inside(x, y) ? index[y * w + x] : 0; }
  int AlphaAt(int x, int y) const { return Inside(x, y) ? alpha[y * w + x] : 0; }
  // Copies `src` with its top-left at (x, y); transparent pixels are skipped.
  void Paste(const Canvas& src, int x, int y);
};

// A sprite sheet: cells of one size, left to right, `columns` per row.
struct Sheet {
  std::string name;  // file stem: NAME.png becomes sprite/NAME.spr
  int cell_w, cell_h, count, columns;
  bool font = false;  // packed with the font command, first glyph ASCII 32
  Canvas canvas;
  Sheet(std::string n, int cw, int ch, int cnt, int cols = 0);
  void Put(int cell, const Canvas& c);
};

// Quantises a 0..1 coverage to the five alpha steps (0 below `cut`).
int AlphaStep(double a, double cut = 0.08);

// Value noise in [0, 1) on a lattice of `scale` pixels; `seed` picks the field.
double Noise(double x, double y, double scale, std::uint32_t seed);
// Three octaves of Noise.
double Fbm(double x, double y, double scale, std::uint32_t seed);
std::uint32_t Hash(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0);

// A coverage mask and the bevelled, lit surface drawn from it.
struct Mask {
  int w, h;
  std::vector<std::uint8_t> on;
  Mask(int width, int height) : w(width), h(height), on(width * height, 0) {}
  bool At(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && on[y * w + x]; }
  void Set(int x, int y, bool v = true) {
    if (x >= 0 && y >= 0 && x < w && y < h) on[y * w + x] = v;
  }
  // Marks every pixel whose centre `inside(x + 0.5, y + 0.5)` holds (4x4
  // supersampled, at least half covered).
  void Fill(const std::function<bool(double, double)>& inside, bool value = true);
  void Polygon(const std::vector<std::array<double, 2>>& pts, bool value = true);
  void Ellipse(double cx, double cy, double rx, double ry, bool value = true);
  int Count() const;
};

bool InPolygon(const std::vector<std::array<double, 2>>& pts, double x, double y);

struct Light {
  double lx = -0.55, ly = -0.65, lz = 0.55;  // towards the light
  double bevel = 3.0;                        // pixels of slope at the edges
  double ambient = 0.30;
  double gloss = 0.35;  // strength of the highlight
};

// Shades the mask's pixels into ramp entries lo..hi of `ramp` with an outline
// of entry `outline` (a full palette index; -1 for none).
void ShadeMask(Canvas* c, const Mask& m, int ramp, int lo, int hi, int outline,
               const Light& light = Light());

// Draws pixels of `m` as a glow: coverage falls off with the distance to the
// nearest mask pixel up to `radius`, only where the canvas is transparent.
void Glow(Canvas* c, const Mask& m, int colour, double radius, double strength);

// PNG writers (RGBA with the palette's colours, or the palette itself).
bool WriteRgbaPng(const std::string& path, const Canvas& c);
bool WritePalettePng(const std::string& path);
// An RGB picture (3 bytes a pixel), for previews.
bool WriteRgbPng(const std::string& path, int w, int h, const std::vector<std::uint8_t>& rgb);

// The engine's native sample format: 8-bit mono PCM at 11025 Hz.
constexpr int kRate = base::kNativeSoundRate;
bool WriteWav(const std::string& path, const std::vector<double>& samples);

// The generators; each appends to the list of sheets or sounds.
void MakeSprites(std::vector<Sheet>* sheets);
void MakeFonts(std::vector<Sheet>* sheets);
struct Sound {
  std::string name;
  std::vector<double> samples;  // -1..1
};
void MakeSounds(std::vector<Sound>* sounds);

// 5x7 glyph of ASCII character c (32..126): seven rows of five, blank-separated, '#' set.
const char* Glyph(int c);

}  // namespace demo_art
