// Script error screen: word-wrapped text in the built-in 5x7 font, colour 1
// (white) on 0 (black), titles in colour 2 (red); the file runs that failed
// before the error are listed above it. Paths name files as the game folder
// holds them.
#include "runtime/error_screen.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "base/builtin_font.h"
#include "base/paths.h"
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

// Paths inside the game folder shortened to the part below it, which is how
// the author knows them ("script/game.lua:12: ..."). Lua may have cut a
// long path's start to "...": a cut path whose kept part begins inside the
// game folder's own path loses that part too.
std::string ShortenPaths(std::string text) {
  const std::string folder = base::GameDir;
  if (folder.empty()) return text;
  for (std::size_t at; (at = text.find(folder)) != std::string::npos;)
    text.erase(at, folder.size());
  for (std::size_t at = 0; (at = text.find("...", at)) != std::string::npos; at += 3) {
    if (at > 0 && !std::isspace(static_cast<unsigned char>(text[at - 1]))) continue;
    // The longest start of what follows that ends the folder's path.
    for (std::size_t n = std::min(folder.size(), text.size() - at - 3); n > 0; --n)
      if (text.compare(at + 3, n, folder, folder.size() - n, n) == 0) {
        text.erase(at, n + 3);
        break;
      }
  }
  return text;
}

bool AnyButton() {
  for (int b = 0; b < 16; ++b)
    if (platform::backends.input->Button(b)) return true;
  return false;
}

}  // namespace

void DrawErrorScreen(const std::string& text, bool reloads) {
  video::Surface* s = video::BackBuffer;
  std::memset(s->pixels, 0, static_cast<std::size_t>(s->size));
  video::SetPalette(0, 0, 0);
  video::WorkPalette[1] = {255, 255, 255};
  video::WorkPalette[2] = {255, 96, 96};
  video::AdjustPalette();
  DrawText(
      s, kMargin, kMargin,
      reloads ? "SCRIPT ERROR - F5 reloads, any button quits" : "CANNOT START - any button quits",
      2);
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
    for (const std::string& report : failed) draw(ShortenPaths(report), 1, 2);
    if (int more = script::FailedRunsDropped())
      draw("(and " + std::to_string(more) + " more)", 1, 1);
    y += kLineHeight;
  }
  draw(ShortenPaths(text), 1, std::size_t(-1));
  video::Present();
}

void ShowErrorScreen(const std::string& text, bool reloads) {
  DrawErrorScreen(text, reloads);
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
      if (c == platform::DevCommand::kReload && reloads) {
        ReloadRequested = true;
        return;
      }
    // --watch: a saved source of the art build is a reload too.
    if (reloads && ArtSourcesChanged()) {
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
