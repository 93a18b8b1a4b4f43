// lunashot-pack build on a game folder, step by step as an author works: a
// first build from nothing, nothing to do, one source touched, a palette that
// moves colours under sets the build remakes or does not, a failing line, and
// build files that try to reach outside the game; then remap.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "tests/unit/pack_fixture.h"
#include "tools/build_file.h"

namespace {

using namespace tools_test;
namespace fs = std::filesystem;

// Every file a minute old, so that what a step writes or touches is newer
// whatever the file system's clock granularity.
void Age(const ScratchDir& dir) {
  const auto then = fs::file_time_type::clock::now() - std::chrono::minutes(1);
  for (const auto& e : fs::recursive_directory_iterator(dir.path()))
    if (e.is_regular_file()) fs::last_write_time(e.path(), then);
}

std::string Gpl(const tools::Palette& p, int n) {
  std::string text = "GIMP Palette\n";
  for (int i = 0; i < n; ++i)
    text += std::to_string(p[i].r) + " " + std::to_string(p[i].g) + " " +
            std::to_string(p[i].b) + "\n";
  return text;
}

TEST(ToolsBuild, RunsTheLinesThatAreOutOfDateAndGuardsThePalette) {
  ScratchDir dir("lunashot-build", {"art", "sprite"});
  tools::Palette cube = CubePalette(), moved = cube;
  moved[0xe0] = Rgb{200, 10, 10};  // the red a.png and b.png use moves a little
  WriteText(dir, "art/cube.gpl", Gpl(cube, 256));
  SavePng("art/a.png", RgbaImage(2, 1, {0xff0000ff, 0x0000ffff}));
  SavePng("art/b.png", RgbaImage(1, 2, {0xff0000ff, 0}));
  const std::string lines =
      "# the palette, then two sets\n"
      "palette art/cube.gpl sprite/pal.pal\n"
      "  sprites --files art/a.png sprite/a.spr --palette sprite/pal.pal  # trailing words\n"
      "sprites --files 'art/b.png' \"sprite/b.spr\" --palette sprite/pal.pal\n";
  WriteText(dir, "art/build.txt", lines);
  // A set made by hand beside them, drawing entry 0xe0: no line remakes it.
  dir.Write("hand.spr", Hex("0100 01000000 01000000 05000000 0300 0100 e0"));
  // Each step: what it changes, the build's arguments, its status, and what
  // the output and errors hold (lines that ran, or the message).
  // clang-format off
  const struct {
    std::function<void()> change;
    Strings args;
    int status;
    std::string says;
  } steps[] = {
      {[] {}, {"build"}, 0, "line 2: palette art/cube.gpl sprite/pal.pal|line 3: sprites|line 4: sprites --files art/b.png sprite/b.spr|3 of 3 lines run"},
      {[] {}, {"build", "."}, 0, "everything is up to date (3 lines)"},
      {[] { fs::last_write_time("art/b.png", fs::file_time_type::clock::now()); }, {"build"}, 0, "line 4: |1 of 3 lines run"},
      {[] {}, {"build", "--force"}, 0, "3 of 3 lines run"},
      // The palette moves the red both sets draw; the build remakes both after it.
      {[&] { WriteText(dir, "art/cube.gpl", Gpl(moved, 256)); }, {"build"}, 0, "3 of 3 lines run"},
      // A set no line remakes stops the palette, which names it; nothing is written.
      {[&] { fs::rename("hand.spr", "sprite/hand.spr"); WriteText(dir, "art/cube.gpl", Gpl(cube, 256)); }, {"build"}, 1,
       "sprite/pal.pal: the new palette changes colours that sprite sets draw: sprite/hand.spr (1 pixel); nothing was written|art/build.txt, line 2 failed"},
      {[] {}, {"build", "--force"}, 1, "sprite/hand.spr (1 pixel)"},
      // Given --force, the line goes through and says so.
      {[&] { WriteText(dir, "art/build.txt", "palette art/cube.gpl sprite/pal.pal --force\n" + lines.substr(lines.find("\n  sprites") + 1));
              WriteText(dir, "art/cube.gpl", Gpl(cube, 256)); }, {"build"}, 0,
       "warning: sprite/pal.pal: replaced with --force; these sets draw colours it changes: sprite/hand.spr (1 pixel)|3 of 3 lines run"},
      // A failing line stops the build; what ran before stays.
      {[&] { WriteText(dir, "art/build.txt", "sprites --files art/a.png sprite/c.spr --palette sprite/pal.pal\nsprites --files art/none.png sprite/d.spr\n"); }, {"build"}, 1,
       "art/none.png: cannot open|art/build.txt, line 2 failed; what the lines before it made is kept"},
      // Mistakes in the file stop it before anything runs.
      {[&] { WriteText(dir, "art/build.txt", "font --builtin sprite/e.spr\nsprites --files art/a.png ../out.spr\n"); }, {"build"}, 1, "art/build.txt, line 2: ../out.spr: leads out of the game folder (..); nothing was run"},
      {[&] { WriteText(dir, "art/build.txt", "font --builtin /tmp/out.spr\n"); }, {"build"}, 1, "line 1: /tmp/out.spr: an absolute path"},
      {[&] { fs::create_directory_symlink("/tmp", "art/tmp"); WriteText(dir, "art/build.txt", "font --builtin art/tmp/out.spr\n"); }, {"build"}, 1, "line 1: art/tmp/out.spr: leads out of the game folder (through a link, to /tmp)"},
      {[&] { WriteText(dir, "art/build.txt", "\n\nsprites \"art/a.png sprite/f.spr\n"); }, {"build"}, 1, "art/build.txt, line 3: the quote \" is not closed"},
      {[&] { WriteText(dir, "art/build.txt", "sound --check art/a.wav\n"); }, {"build"}, 1, "line 1: sound --check writes nothing to build"},
      {[&] { WriteText(dir, "art/build.txt", "build\n"); }, {"build"}, 1, "line 1: build runs the build file; it is not a line of one"},
      {[] {}, {"build", "a", "b"}, 2, "expected one game folder"},
      {[] {}, {"build", "nowhere"}, 1, "nowhere: cannot enter the game folder"},
  };
  // clang-format on
  for (const auto& step : steps) {
    step.change();
    RunResult run = RunPack(step.args);
    EXPECT_EQ(run.status, step.status) << step.says << "\n" << run.out << run.err;
    std::string says = step.says;
    for (std::size_t bar = 0; bar != std::string::npos; says = says.substr(bar + 1)) {
      bar = says.find('|');
      EXPECT_TRUE(Has(run.out + run.err, says.substr(0, bar)));
    }
    Age(dir);
  }
  EXPECT_TRUE(fs::exists("sprite/c.spr") && !fs::exists("sprite/d.spr") && !fs::exists("sprite/e.spr"));
  EXPECT_EQ(fs::current_path(), fs::path(dir.path()));  // the build gives the folder back

  // remap: every pixel keeps the nearest colour the new palette has (0x42's
  // colour is not in it); an index whose colour stays keeps its place.
  tools::Palette shifted;
  for (int i = 0; i < 256; ++i) shifted[i] = cube[(i * 7 + 3) & 0xff];  // the cube reordered
  shifted[9] = Rgb{1, 2, 3};  // in place of cube[0x42]
  SavePal(dir, cube, "old.pal");
  SavePal(dir, shifted, "new.pal");
  ByteVector set = Hex("0100 06000000 01000000 0e000000 0c00 0400 e0 09 42 ff 0240 2001 2502");
  dir.Write("set.spr", set);
  auto remap = RunPack({"remap", "old.pal", "new.pal", "set.spr", "-o", "moved.spr"});
  EXPECT_EQ(remap.status, 0) << remap.err;
  EXPECT_TRUE(Has(remap.out, "moved.spr: 1 sprites, 6 pixels re-mapped ("));
  PixelImage moved_pixels = base::DecodeSprite(base::View(ReadSet(dir, "moved.spr").at(0)));
  const std::uint8_t used[] = {0xe0, 0x09, 0x42, 0xff, 0x20, 0x25};
  for (int k = 0; k < 6; ++k) {
    const Pixel& p = moved_pixels.pixels[k];
    int best = 1 << 30;
    for (const Rgb& c : shifted) best = std::min(best, tools::ColourDistance(c, cube[used[k]]));
    EXPECT_EQ(tools::ColourDistance(shifted[p.index], cube[used[k]]), best) << k;
    EXPECT_EQ(p.kind, k < 4 ? Pixel::kOpaque : Pixel::kBlended);
  }
  EXPECT_TRUE(Ok({"remap", "old.pal", "old.pal", "set.spr"}));  // in place; nothing moves
  EXPECT_EQ(dir.Read("set.spr"), set);
  ExpectFail({"remap", "old.pal", "new.pal"}, 2, "expected remap OLD.pal NEW.pal SET.spr");
}

}  // namespace
