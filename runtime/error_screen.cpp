// Script error screen: word-wrapped text in the built-in 5x7 font, colour 1
// (white) on 0 (black), titles in colour 2 (red); the file runs that failed
// before the error are listed above it.
#include "runtime/error_screen.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/builtin_font.h"
#include "event/input.h"
#include "platform/platform.h"
#include "runtime/devkeys.h"
#include "runtime/frame.h"
#include "script/failed_runs.h"
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
  auto draw = [&](const std::string& block, std::uint8_t colour, std::size_t max_lines) {
    std::vector<std::string> lines = Wrap(block);
    for (std::size_t i = 0; i < lines.size() && i < max_lines; ++i) {
      if (y + base::kGlyphHeight > s->height) return;
      DrawText(s, kMargin, y, lines[i], colour);
      y += kLineHeight;
    }
  };
  // Earlier failed file runs first: they are often the cause of the error,
  // each in at most two lines so that the error itself keeps its room.
  const std::vector<std::string>& failed = script::FailedRuns();
  if (!failed.empty()) {
    draw("File runs that failed before:", 2, 1);
    for (const std::string& report : failed) draw(report, 1, 2);
    if (int more = script::FailedRunsDropped())
      draw("(and " + std::to_string(more) + " more)", 1, 1);
    y += kLineHeight;
  }
  draw(text, 1, std::size_t(-1));
  video::Present();
}

void ShowErrorScreen(const std::string& text) {
  DrawErrorScreen(text);
  bool released = false;
  for (;;) {
    // Each wait is a frame: --input goes on pressing buttons by its count,
    // and --max-frames ends the screen as it would have ended the game.
    ++UpdateCalls;
    if (LimitReached()) return;
    event::PollInput(UpdateCalls);
    platform::Machine* machine = platform::backends.machine;
    if (machine && machine->QuitRequested()) return;
    // F5 here runs the game again: fix the script, press F5.
    for (platform::DevCommand c;
         machine && (c = machine->TakeCommand()) != platform::DevCommand::kNone;)
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
