// The demo's type: a 5x7 pixel alphabet (ASCII 32..126) drawn here as data,
// the small and large fonts made from it, and the title logo.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace demo_art {

namespace {

// Seven rows of five pixels per character, '#' set, rows separated by blanks.
const char* const kGlyphs[95] = {
    "..... ..... ..... ..... ..... ..... .....",  // space
    "..#.. ..#.. ..#.. ..#.. ..#.. ..... ..#..",  // !
    ".#.#. .#.#. ..... ..... ..... ..... .....",  // "
    ".#.#. .#.#. ##### .#.#. ##### .#.#. .#.#.",  // #
    "..#.. .#### #.#.. .###. ..#.# ####. ..#..",  // $
    "##... ##..# ...#. ..#.. .#... #..## ...##",  // %
    ".##.. #..#. #.#.. .#... #.#.# #..#. .##.#",  // &
    "..#.. ..#.. .#... ..... ..... ..... .....",  // '
    "...#. ..#.. .#... .#... .#... ..#.. ...#.",  // (
    ".#... ..#.. ...#. ...#. ...#. ..#.. .#...",  // )
    "..... ..#.. #.#.# .###. #.#.# ..#.. .....",  // *
    "..... ..#.. ..#.. ##### ..#.. ..#.. .....",  // +
    "..... ..... ..... ..... .##.. ..#.. .#...",  // ,
    "..... ..... ..... ##### ..... ..... .....",  // -
    "..... ..... ..... ..... ..... .##.. .##..",  // .
    "..... ....# ...#. ..#.. .#... #.... .....",  // /
    ".###. #...# #..## #.#.# ##..# #...# .###.",  // 0
    "..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.",  // 1
    ".###. #...# ....# ...#. ..#.. .#... #####",  // 2
    "##### ...#. ..#.. ...#. ....# #...# .###.",  // 3
    "...#. ..##. .#.#. #..#. ##### ...#. ...#.",  // 4
    "##### #.... ####. ....# ....# #...# .###.",  // 5
    "..##. .#... #.... ####. #...# #...# .###.",  // 6
    "##### ....# ...#. ..#.. .#... .#... .#...",  // 7
    ".###. #...# #...# .###. #...# #...# .###.",  // 8
    ".###. #...# #...# .#### ....# ...#. .##..",  // 9
    "..... .##.. .##.. ..... .##.. .##.. .....",  // :
    "..... .##.. .##.. ..... .##.. ..#.. .#...",  // ;
    "...#. ..#.. .#... #.... .#... ..#.. ...#.",  // <
    "..... ..... ##### ..... ##### ..... .....",  // =
    ".#... ..#.. ...#. ....# ...#. ..#.. .#...",  // >
    ".###. #...# ....# ...#. ..#.. ..... ..#..",  // ?
    ".###. #...# ....# .##.# #.#.# #.#.# .###.",  // @
    ".###. #...# #...# ##### #...# #...# #...#",  // A
    "####. #...# #...# ####. #...# #...# ####.",  // B
    ".###. #...# #.... #.... #.... #...# .###.",  // C
    "###.. #..#. #...# #...# #...# #..#. ###..",  // D
    "##### #.... #.... ####. #.... #.... #####",  // E
    "##### #.... #.... ####. #.... #.... #....",  // F
    ".###. #...# #.... #.### #...# #...# .####",  // G
    "#...# #...# #...# ##### #...# #...# #...#",  // H
    ".###. ..#.. ..#.. ..#.. ..#.. ..#.. .###.",  // I
    "..### ...#. ...#. ...#. ...#. #..#. .##..",  // J
    "#...# #..#. #.#.. ##... #.#.. #..#. #...#",  // K
    "#.... #.... #.... #.... #.... #.... #####",  // L
    "#...# ##.## #.#.# #.#.# #...# #...# #...#",  // M
    "#...# #...# ##..# #.#.# #..## #...# #...#",  // N
    ".###. #...# #...# #...# #...# #...# .###.",  // O
    "####. #...# #...# ####. #.... #.... #....",  // P
    ".###. #...# #...# #...# #.#.# #..#. .##.#",  // Q
    "####. #...# #...# ####. #.#.. #..#. #...#",  // R
    ".#### #.... #.... .###. ....# ....# ####.",  // S
    "##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..",  // T
    "#...# #...# #...# #...# #...# #...# .###.",  // U
    "#...# #...# #...# #...# #...# .#.#. ..#..",  // V
    "#...# #...# #...# #.#.# #.#.# #.#.# .#.#.",  // W
    "#...# #...# .#.#. ..#.. .#.#. #...# #...#",  // X
    "#...# #...# .#.#. ..#.. ..#.. ..#.. ..#..",  // Y
    "##### ....# ...#. ..#.. .#... #.... #####",  // Z
    ".###. .#... .#... .#... .#... .#... .###.",  // [
    "..... #.... .#... ..#.. ...#. ....# .....",  // backslash
    ".###. ...#. ...#. ...#. ...#. ...#. .###.",  // ]
    "..#.. .#.#. #...# ..... ..... ..... .....",  // ^
    "..... ..... ..... ..... ..... ..... #####",  // _
    ".#... ..#.. ...#. ..... ..... ..... .....",  // `
    "..... ..... .###. ....# .#### #...# .####",  // a
    "#.... #.... #.##. ##..# #...# #...# ####.",  // b
    "..... ..... .###. #.... #.... #...# .###.",  // c
    "....# ....# .##.# #..## #...# #...# .####",  // d
    "..... ..... .###. #...# ##### #.... .###.",  // e
    "..##. .#..# .#... ###.. .#... .#... .#...",  // f
    "..... .#### #...# #...# .#### ....# .###.",  // g
    "#.... #.... #.##. ##..# #...# #...# #...#",  // h
    "..#.. ..... .##.. ..#.. ..#.. ..#.. .###.",  // i
    "...#. ..... ..##. ...#. ...#. #..#. .##..",  // j
    "#.... #.... #..#. #.#.. ##... #.#.. #..#.",  // k
    ".##.. ..#.. ..#.. ..#.. ..#.. ..#.. .###.",  // l
    "..... ..... ##.#. #.#.# #.#.# #...# #...#",  // m
    "..... ..... #.##. ##..# #...# #...# #...#",  // n
    "..... ..... .###. #...# #...# #...# .###.",  // o
    "..... ..... ####. #...# ####. #.... #....",  // p
    "..... ..... .##.# #..## .#### ....# ....#",  // q
    "..... ..... #.##. ##..# #.... #.... #....",  // r
    "..... ..... .###. #.... .###. ....# ####.",  // s
    ".#... .#... ###.. .#... .#... .#..# ..##.",  // t
    "..... ..... #...# #...# #...# #..## .##.#",  // u
    "..... ..... #...# #...# #...# .#.#. ..#..",  // v
    "..... ..... #...# #...# #.#.# #.#.# .#.#.",  // w
    "..... ..... #...# .#.#. ..#.. .#.#. #...#",  // x
    "..... ..... #...# #...# .#### ....# .###.",  // y
    "..... ..... ##### ...#. ..#.. .#... #####",  // z
    "...## ..#.. ..#.. .#... ..#.. ..#.. ...##",  // {
    "..#.. ..#.. ..#.. ..#.. ..#.. ..#.. ..#..",  // |
    "##... ..#.. ..#.. ...#. ..#.. ..#.. ##...",  // }
    "..... ..... .#... #.#.# ...#. ..... .....",  // ~
};

bool On(int c, int x, int y) {
  if (x < 0 || y < 0 || x >= 5 || y >= 7) return false;
  return Glyph(c)[y * 6 + x] == '#';
}

// The small font: 6x8 cells, the glyph at the top left, a dark shadow one
// pixel down and right, rows coloured from `rows` (7 entries).
void SmallFont(std::vector<Sheet>* sheets, const char* name, const int rows[7], int shadow) {
  Sheet sheet(name, 6, 8, 95, 16);
  sheet.font = true;
  for (int c = 32; c <= 126; ++c) {
    Canvas cell(6, 8);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 5; ++x)
        if (On(c, x, y)) cell.Set(x + 1, y + 1, shadow);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 5; ++x)
        if (On(c, x, y)) cell.Set(x, y, rows[y]);
    sheet.Put(c - 32, cell);
  }
  sheets->push_back(std::move(sheet));
}

// The large font: each glyph pixel doubled, bevelled (lit top-left edges,
// dark bottom-right ones), a vertical gradient and a one-pixel outline.
void LargeFont(std::vector<Sheet>* sheets) {
  Sheet sheet("font_big", 12, 16, 95, 16);
  sheet.font = true;
  const int grad[14] = {kYellow + 15, kYellow + 15, kYellow + 14, kYellow + 13, kYellow + 12,
                        kYellow + 11, kAmber + 12,  kAmber + 12,  kAmber + 11,  kOrange + 12,
                        kOrange + 11, kOrange + 10, kOrange + 9,  kOrange + 8};
  for (int c = 32; c <= 126; ++c) {
    Canvas cell(12, 16);
    auto big = [&](int x, int y) { return On(c, (x - 1) >> 1, (y - 1) >> 1) && x >= 1 && y >= 1; };
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 12; ++x) {
        if (big(x, y)) continue;
        bool near = false;
        for (int j = -1; j <= 1; ++j)
          for (int i = -1; i <= 1; ++i) near = near || big(x + i, y + j);
        if (near) cell.Set(x, y, kNavy + 1);
      }
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 12; ++x) {
        if (!big(x, y)) continue;
        int col = grad[std::clamp(y - 1, 0, 13)];
        if (!big(x, y - 1) || !big(x - 1, y))
          col = (y < 8) ? kGrey + 15 : kYellow + 14;
        else if (!big(x, y + 1) || !big(x + 1, y))
          col = (y < 8) ? kAmber + 9 : kRed + 10;
        cell.Set(x, y, col);
      }
    sheet.Put(c - 32, cell);
  }
  sheets->push_back(std::move(sheet));
}

// "LUNASHOT" in chrome-over-gold block letters with a blue glow.
void Logo(std::vector<Sheet>* sheets) {
  const char* word = "LUNASHOT";
  const int scale = 5, gap = 3, margin = 8;
  const int w = 8 * 5 * scale + 7 * gap + 2 * margin, h = 7 * scale + 2 * margin;
  Mask m(w, h);
  for (int i = 0; word[i]; ++i) {
    int ox = margin + i * (5 * scale + gap);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 5; ++x)
        if (On(word[i], x, y))
          for (int j = 0; j < scale; ++j)
            for (int k = 0; k < scale; ++k) m.Set(ox + x * scale + k, margin + y * scale + j);
  }
  // Shading measured on the grey ramp, then mapped to chrome or gold by height.
  Canvas grey(w, h);
  Light light;
  light.bevel = 2.5;
  light.ambient = 0.2;
  light.gloss = 0.5;
  ShadeMask(&grey, m, kGrey, 2, 15, -1, light);
  Canvas logo(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!m.At(x, y)) continue;
      int b = grey.IndexAt(x, y) - kGrey;
      double t = double(y - margin) / (7 * scale);
      int col;
      if (t < 0.5) {
        col = kBlue + std::clamp(b + 1 + static_cast<int>((0.5 - t) * 6), 3, 15);
      } else if (t < 0.56) {
        col = kGrey + 15;  // the horizon line of the chrome
      } else {
        col = kAmber + std::clamp(b - static_cast<int>((t - 0.56) * 8), 4, 15);
      }
      logo.Set(x, y, col);
    }
  // Outline two pixels wide, then the glow outside it.
  Mask outline(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (m.At(x, y)) continue;
      for (int j = -2; j <= 2; ++j)
        for (int i = -2; i <= 2; ++i)
          if (std::abs(i) + std::abs(j) <= 3 && m.At(x + i, y + j)) outline.Set(x, y);
    }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (outline.At(x, y)) logo.Set(x, y, kNavy + 2);
  Mask all = m;
  for (int i = 0; i < w * h; ++i) all.on[i] = all.on[i] || outline.on[i];
  Glow(&logo, all, kBlue + 11, 6.0, 0.9);
  Sheet sheet("logo", w, h, 1);
  sheet.Put(0, logo);
  sheets->push_back(std::move(sheet));
}

}  // namespace

const char* Glyph(int c) {
  if (c < 32 || c > 126) c = '?';
  return kGlyphs[c - 32];
}

void MakeFonts(std::vector<Sheet>* sheets) {
  const int white[7] = {kGrey + 15, kGrey + 15, kNavy + 15, kNavy + 15,
                        kNavy + 14, kNavy + 13, kNavy + 13};
  const int gold[7] = {kYellow + 15, kYellow + 14, kYellow + 13, kYellow + 12,
                       kAmber + 13,  kAmber + 12,  kOrange + 12};
  const int grey[7] = {kSteel + 10, kSteel + 10, kSteel + 9, kSteel + 9,
                       kSteel + 8,  kSteel + 8,  kSteel + 7};
  SmallFont(sheets, "font", white, kNavy + 1);
  SmallFont(sheets, "font_hi", gold, kRed + 2);
  SmallFont(sheets, "font_dim", grey, kNavy + 1);
  LargeFont(sheets);
  Logo(sheets);
}

}  // namespace demo_art
