// Script error screen: word-wrapped text in the built-in 5x7 font, colour 1
// (white) on 0 (black), title in colour 2 (red).
#include "runtime/error_screen.h"

#include <cstring>
#include <vector>

#include "base/builtin_font.h"
#include "platform/platform.h"
#include "runtime/devkeys.h"
#include "video/display.h"
#include "video/palette.h"

namespace runtime {

namespace {

constexpr int kAdvance = base::kGlyphWidth + 1;
constexpr int kLineHeight = base::kGlyphHeight + 2;
constexpr int kMargin = 4;
constexpr int kColumns = (platform::kScreenWidth - 2 * kMargin) / kAdvance;

void DrawText(video::Surface* s, int x, int y, const std::string& line, std::uint8_t colour) {
  for (unsigned char c : line) {
    const std::uint8_t* rows = base::BuiltinGlyph(c);
    for (int r = 0; r < base::kGlyphHeight; ++r)
      for (int col = 0; col < base::kGlyphWidth; ++col) {
        int px = x + col, py = y + r;
        if (!(rows[r] & (0x10 >> col)) || px < 0 || py < 0 || px >= s->width || py >= s->height)
          continue;
        s->pixels[py * s->width + px] = colour;
      }
    x += kAdvance;
  }
}

// Splits at line feeds, then wraps each line at kColumns (tabs become spaces).
std::vector<std::string> Wrap(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  for (char c : text + "\n") {
    if (c == '\n') {
      out.push_back(line);
      line.clear();
      continue;
    }
    line += (c == '\t') ? ' ' : c;
    if (static_cast<int>(line.size()) == kColumns) {
      out.push_back(line);
      line = "  ";
    }
  }
  return out;
}

bool AnyButton() {
  for (int b = 0; b < 16; ++b)
    if (platform::backends.input->Button(b)) return true;
  return false;
}

}  // namespace

void DrawErrorScreen(const std::string& text) {
  video::Surface* s = video::BackBuffer;
  std::memset(s->pixels, 0, static_cast<std::size_t>(s->size));
  video::SetPalette(0, 0, 0);
  video::WorkPalette[1] = {255, 255, 255};
  video::WorkPalette[2] = {255, 96, 96};
  video::AdjustPalette();
  DrawText(s, kMargin, kMargin, "SCRIPT ERROR - press a button to quit", 2);
  int y = kMargin + 2 * kLineHeight;
  for (const std::string& line : Wrap(text)) {
    if (y + base::kGlyphHeight > s->height) break;
    DrawText(s, kMargin, y, line, 1);
    y += kLineHeight;
  }
  video::Present();
}

void ShowErrorScreen(const std::string& text) {
  DrawErrorScreen(text);
  bool released = false;
  for (;;) {
    platform::backends.input->Poll();
    platform::Machine* machine = platform::backends.machine;
    if (machine && machine->QuitRequested()) return;
    // F5 here runs the game again: fix the script, press F5.
    for (platform::DevCommand c; machine && (c = machine->TakeCommand()) != platform::DevCommand::kNone;)
      if (c == platform::DevCommand::kReload) {
        ReloadRequested = true;
        return;
      }
    bool down = AnyButton();
    if (down && released) return;
    if (!down) released = true;
    platform::backends.clock->Delay(16);
    video::Present();  // keeps the window's picture fresh after exposure
  }
}

}  // namespace runtime
