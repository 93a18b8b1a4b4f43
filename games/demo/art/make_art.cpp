// make_art: writes the demo's source pictures and sounds.
//   make_art OUTDIR [--preview DIR]
// OUTDIR receives palette.png (the 256 colours), one RGBA sheet per sprite
// set and one WAV per sound, which the game's art/build.txt packs (its cell
// sizes and counts are those of the sheets drawn here). --preview also writes each sheet
// enlarged three times over a dark blue ground, with blended pixels added as
// the game's blend table adds them, for looking at.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "art.h"

namespace {

using namespace demo_art;

bool Preview(const std::string& path, const Canvas& c) {
  const int k = 3;
  const auto& pal = Palette();
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(c.w) * k * c.h * k * 3);
  for (int y = 0; y < c.h * k; ++y)
    for (int x = 0; x < c.w * k; ++x) {
      int r = 6, g = 8, b = 26;
      int i = (y / k) * c.w + x / k;
      int a = c.alpha[i];
      Rgb s = pal[c.index[i]];
      if (a == 255) {
        r = s.r, g = s.g, b = s.b;
      } else if (a) {
        r = std::min(255, r + s.r * a / 256);
        g = std::min(255, g + s.g * a / 256);
        b = std::min(255, b + s.b * a / 256);
      }
      std::size_t o = (static_cast<std::size_t>(y) * c.w * k + x) * 3;
      rgb[o] = static_cast<std::uint8_t>(r);
      rgb[o + 1] = static_cast<std::uint8_t>(g);
      rgb[o + 2] = static_cast<std::uint8_t>(b);
    }
  return WriteRgbPng(path, c.w * k, c.h * k, rgb);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--preview") == 0)) {
    std::fprintf(stderr, "usage: make_art OUTDIR [--preview DIR]\n");
    return 2;
  }
  const std::string out = argv[1];
  const std::string preview = argc == 4 ? argv[3] : "";
  bool ok = WritePalettePng(out + "/palette.png");

  std::vector<Sheet> sheets;
  MakeSprites(&sheets);
  MakeFonts(&sheets);
  for (const Sheet& s : sheets) {
    ok = WriteRgbaPng(out + "/" + s.name + ".png", s.canvas) && ok;
    if (!preview.empty()) ok = Preview(preview + "/" + s.name + ".png", s.canvas) && ok;
  }
  std::vector<Sound> sounds;
  MakeSounds(&sounds);
  for (const Sound& s : sounds) ok = WriteWav(out + "/" + s.name + ".wav", s.samples) && ok;

  if (!ok) {
    std::fprintf(stderr, "make_art: cannot write into %s\n", out.c_str());
    return 1;
  }
  return 0;
}
