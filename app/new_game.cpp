// `lunashot new DIR`: the starter game. Its palette is the xterm 256-colour
// layout (16 named colours, a 6 x 6 x 6 cube, 24 greys) with a mixing blend
// table; its sprites are drawn here from character maps in that palette.
// Their sources go into art/ with the build file that makes the same sprite
// and palette files again (`lunashot-pack build`), written before them so
// that a first build finds nothing out of date.
#include "app/new_game.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/blend_table.h"
#include "base/builtin_font.h"
#include "base/png_file.h"
#include "base/sound_file.h"
#include "base/sprite_file.h"

namespace {

const char kStartLua[] =
    R"LUA(-- A starter game made by `lunashot new`. The engine runs this file; when it
-- returns, the program ends. Arrows (or the stick) move, Z (button A) fires,
-- Return (Start) quits. Script numbers are whole numbers: 7 / 2 is 3.

local font = LoadSpriteSet("font.spr")  -- the built-in font: white, 6 x 9 cells
local art = LoadSpriteSet("ship.spr")   -- 0 ship, 1 shot, 2 enemy, 3 enemy shot, 4 spark

-- A kind says how its instances look and collide: cx, cy is the sprite pixel
-- put on the instance's position, size the collision radius.
function Kind(sprite, cx, cy, size)
  local k = NewObject()
  k:SetSpriteSet(art)
  k.cx, k.cy, k.size = cx, cy, size
  k:SetAnimSize(1)
  k:SetAnim(0, sprite, sprite, 0, false)  -- animation 0: that one sprite
  return k
end
SHIP = Kind(0, 7, 7, 3)
SHOT = Kind(1, 1, 4, 3)

-- The ship's updater: the engine calls it once a frame with the ship.
reload = 0
function MoveShip(ship)
  local code = GetKey() / 4  -- the stick: 0 centre, 1 right, 2 down-right .. 8 up-right
  if code == 0 then
    ship.vel = 0
  else
    ship.dir = (code - 1) * 15  -- 120 directions a turn: 0 right, 30 down, 90 up
    ship.vel = ToFIXED(2, 50)   -- pixels a frame, in 16.16 fixed point
  end
  local x, y = GetX(ship), GetY(ship)
  if x < 8 then SetX(ship, 8) elseif x > 312 then SetX(ship, 312) end
  if y < 8 then SetY(ship, 8) elseif y > 232 then SetY(ship, 232) end
  reload = reload - 1
  if IsA() == 1 and reload <= 0 then  -- hold A to fire: up (90), gone after 50 frames
    AddPBullet(SHOT, nil, x, y - 8, ToFIXED(6, 0), 90, 0, 50)
    reload = 6
  end
end

-- x 160, y 200, speed 0, pointing up, animation 0, life -1 (65535 frames)
AddLayer2(SHIP, "MoveShip", 160, 200, 0, 90, 0, -1)
print("starter: running; Return quits")

SetPalette(0, 0, 0)  -- every colour black, then fade in to sprite/pal.pal
local frame = 0
while IsStart() == 0 do
  Update()  -- input, timeline, every instance moved, screen cleared and drawn
  if frame < 32 then FadeIn(8) AdjustPalette() end  -- 32 steps of 8 reach 255
  DrawFont(font, 8, 8, "HELLO, LUNASHOT!\nARROWS MOVE, Z FIRES, RETURN QUITS", -1)
  DrawFont(font, 8, 224, "FRAME " .. frame, -1)
  Present()  -- show the back buffer
  frame = frame + 1
end
)LUA";

base::Palette DefaultPalette() {
  static const std::uint8_t kNamed[16][3] = {
      {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
      {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
      {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  static const std::uint8_t kLevel[6] = {0, 95, 135, 175, 215, 255};
  base::Palette p;
  for (int i = 0; i < 16; ++i) p[i] = {kNamed[i][0], kNamed[i][1], kNamed[i][2]};
  for (int i = 0; i < 216; ++i) p[16 + i] = {kLevel[i / 36], kLevel[i / 6 % 6], kLevel[i % 6]};
  for (int i = 0; i < 24; ++i)
    p[232 + i] = {std::uint8_t(8 + 10 * i), std::uint8_t(8 + 10 * i), std::uint8_t(8 + 10 * i)};
  return p;
}

// The cube colour of levels r, g, b (0-5).
constexpr std::uint8_t Cube(int r, int g, int b) { return std::uint8_t(16 + 36 * r + 6 * g + b); }

struct Ink {
  char key;
  base::Pixel pixel;
};

base::Pixel Opaque(std::uint8_t c) { return {base::Pixel::kOpaque, c, 0}; }
base::Pixel Blended(std::uint8_t c, std::uint8_t level) {
  return {base::Pixel::kBlended, c, level};
}

// A sprite from rows of characters; '.' is transparent.
base::PixelImage Picture(const std::vector<const char*>& rows, const std::vector<Ink>& inks) {
  base::PixelImage image(int(std::strlen(rows[0])), int(rows.size()));
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      for (const Ink& ink : inks)
        if (rows[y][x] == ink.key) image.at(x, y) = ink.pixel;
  return image;
}

std::vector<base::PixelImage> ShipPictures() {
  const std::vector<Ink> inks = {
      {'W', Opaque(15)},
      {'S', Opaque(Cube(4, 4, 5))},
      {'s', Opaque(Cube(2, 2, 3))},
      {'B', Opaque(Cube(0, 2, 5))},
      {'C', Opaque(Cube(2, 5, 5))},
      {'R', Opaque(Cube(5, 1, 1))},
      {'r', Opaque(Cube(3, 0, 0))},
      {'Y', Opaque(Cube(5, 5, 1))},
      {'O', Opaque(Cube(5, 3, 0))},
      {'o', Blended(Cube(5, 3, 0), 1)},
      {'g', Blended(Cube(5, 5, 3), 0)},
      {'M', Opaque(Cube(4, 0, 3))},
      {'m', Opaque(Cube(2, 0, 2))},
      {'P', Opaque(Cube(5, 3, 5))},
  };
  return {
      Picture({"...............", ".......W.......", "......WSW......", "......SCS......",
               ".....sSBSs.....", ".....SBCBS.....", "....sSBBBSs....", "...R.SSSSS.R...",
               "..RRsSSSSSsRR..", ".RRRSSSSSSSRRR.", "RRrrsSSSSSsrrRR", "Rr...sSSSs...rR",
               ".....ss.ss.....", ".....oO.Oo.....", "......o.o......"},
              inks),
      Picture({".Y.", "YWY", "YWY", "YWY", "YWY", ".Y.", ".O.", ".o."}, inks),
      Picture({"....MMMMMMM....", "..MMPPPPPPPMM..", ".MPPMMMMMMMPPM.", "MPMMmmmmmmmMMPM",
               "MPMmmYmmmYmmMPM", "MPMmmmmmmmmmMPM", ".MPMMmmmmmMMPM.", "..MMPMMMMMPMM..",
               "...M.MPPPM.M...", "..M...MMM...M..", ".M...........M."},
              inks),
      Picture({".gOg.", "gOYOg", "OYWYO", "gOYOg", ".gOg."}, inks),
      Picture({"....g....", "...gYg...", "..gYWYg..", ".gYW.WYg.", "gYW...WYg", ".gYW.WYg.",
               "..gYWYg..", "...gYg...", "....g...."},
              inks),
  };
}

// A falling square-wave blip (a shot) or fading noise (an explosion).
std::vector<std::int8_t> Sound(bool noise) {
  const int n = noise ? 5000 : 1200;
  std::vector<std::int8_t> s(n);
  std::uint32_t seed = 12345;
  for (int i = 0; i < n; ++i) {
    int amplitude = 90 * (n - i) / n;
    int wave;
    if (noise) {
      if (i % 3 == 0) seed = seed * 1103515245u + 12345u;
      wave = (seed >> 16 & 1) ? amplitude : -amplitude;
    } else {
      int period = 10 + i / 60;
      wave = (i % period < period / 2) ? amplitude : -amplitude;
    }
    s[i] = std::int8_t(wave);
  }
  return s;
}

const char kBuildTxt[] =
    R"(# How this game's art is made. `lunashot-pack build` (in the game folder)
# runs the lines whose outputs are missing or older than their inputs. Each
# line is a lunashot-pack command line; paths are relative to the game folder.
# Draw in art/ (PNG, JPEG, BMP, TGA or GIF), add lines, and build.
palette art/palette.gpl sprite/pal.pal
font --builtin sprite/font.spr --colour 15
sprites --files art/ship.png art/shot.png art/enemy.png art/enemy_shot.png art/spark.png sprite/ship.spr --palette sprite/pal.pal
)";

// The palette as a GIMP palette, the source of sprite/pal.pal.
std::vector<std::uint8_t> GimpPalette(const base::Palette& palette) {
  std::string text = "GIMP Palette\nName: starter (xterm 256 colours)\nColumns: 16\n#\n";
  for (const base::Rgb& c : palette)
    text += std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + "\n";
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// A sprite as the RGBA picture that packs back to it: blend levels 0, 1, 2
// are alpha 64, 128 and 192.
bool PictureBytes(const base::PixelImage& image, const base::Palette& palette,
                  std::vector<std::uint8_t>* bytes, std::string* error) {
  base::PngImage png;
  png.width = image.width;
  png.height = image.height;
  for (const base::Pixel& p : image.pixels) {
    const base::Rgb& c = palette[p.index];
    std::uint8_t alpha = p.kind == base::Pixel::kOpaque    ? 255
                         : p.kind == base::Pixel::kBlended ? std::uint8_t(64 * (p.level + 1))
                                                           : 0;
    png.pixels.insert(png.pixels.end(), {alpha ? c.r : std::uint8_t(0),
                                         alpha ? c.g : std::uint8_t(0),
                                         alpha ? c.b : std::uint8_t(0), alpha});
  }
  return base::EncodePng(png, 9, bytes, error);
}

// Writes a new file; an existing one is an error, never replaced. A file
// that cannot be written whole (a full disk) is removed.
bool WriteNew(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* error) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *error = "cannot write " + path + ": " + std::strerror(n < 0 ? errno : ENOSPC);
      close(fd);
      unlink(path.c_str());
      return false;
    }
    done += std::size_t(n);
  }
  if (close(fd) != 0) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    unlink(path.c_str());
    return false;
  }
  return true;
}

bool SpriteSetBytes(const std::vector<base::PixelImage>& pictures, std::vector<std::uint8_t>* bytes,
                    std::string* error) {
  std::vector<base::SpriteData> sprites(pictures.size());
  for (std::size_t i = 0; i < pictures.size(); ++i)
    if (!base::EncodeSprite(pictures[i], &sprites[i], error)) return false;
  return base::EncodeSpriteSet(sprites, bytes, error);
}

// DIR made here (`made`), or an empty directory that already exists.
bool MakeGameDir(const std::string& dir, bool* made, std::string* error) {
  *made = mkdir(dir.c_str(), 0755) == 0;
  if (*made) return true;
  if (errno != EEXIST) {
    *error = "cannot create " + dir + ": " + std::strerror(errno);
    return false;
  }
  struct stat st;
  if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *error = dir + " exists and is not a directory";
    return false;
  }
  DIR* d = opendir(dir.c_str());
  if (!d) {
    *error = "cannot read " + dir + ": " + std::strerror(errno);
    return false;
  }
  bool empty = true;
  while (dirent* e = readdir(d))
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) empty = false;
  closedir(d);
  if (!empty) *error = dir + " is not empty; choose a new directory";
  return empty;
}

}  // namespace

bool WriteStarterGame(const std::string& dir, std::string* error) {
  // Everything is made in memory first: a file that cannot be made leaves
  // no folder behind.
  std::vector<std::uint8_t> font, ship;
  std::vector<base::SpriteData> glyphs = base::BuiltinFontSprites(15);
  const std::vector<base::PixelImage> pictures = ShipPictures();
  if (!base::EncodeSpriteSet(glyphs, &font, error) || !SpriteSetBytes(pictures, &ship, error))
    return false;
  // The sources first: the files made from them are then never older.
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
      {"art/build.txt", std::vector<std::uint8_t>(kBuildTxt, kBuildTxt + sizeof kBuildTxt - 1)},
      {"art/palette.gpl", GimpPalette(DefaultPalette())}};
  const char* const kNames[] = {"ship", "shot", "enemy", "enemy_shot", "spark"};
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    files.push_back({std::string("art/") + kNames[i] + ".png", {}});
    if (!PictureBytes(pictures[i], DefaultPalette(), &files.back().second, error)) return false;
  }
  files.insert(files.end(), {
      {"sprite/pal.pal", base::BuildPalFile(DefaultPalette(), base::BlendMode::kMix)},
      {"sprite/font.spr", font},
      {"sprite/ship.spr", ship},
      {"sound/shot.wav", base::EncodeNativeWav(Sound(false))},
      {"sound/boom.wav", base::EncodeNativeWav(Sound(true))},
      {"script/start.lua", std::vector<std::uint8_t>(kStartLua, kStartLua + sizeof kStartLua - 1)},
  });
  bool made_dir = false;
  if (!MakeGameDir(dir, &made_dir, error)) return false;
  // What this run made, in order; a failure takes it all back, so the
  // folder is as it was (a made one gone, an empty one empty) and a rerun
  // on a disk with room succeeds.
  std::vector<std::string> made;
  bool ok = true;
  for (const char* sub : {"/art", "/sprite", "/sound", "/script", "/replay"}) {
    if (mkdir((dir + sub).c_str(), 0755) != 0) {
      *error = "cannot create " + dir + sub + ": " + std::strerror(errno);
      ok = false;
      break;
    }
    made.push_back(dir + sub);
  }
  for (std::size_t i = 0; ok && i < files.size(); ++i) {
    ok = WriteNew(dir + "/" + files[i].first, files[i].second, error);
    if (ok) made.push_back(dir + "/" + files[i].first);
  }
  if (ok) return true;
  for (auto it = made.rbegin(); it != made.rend(); ++it) std::remove(it->c_str());
  if (made_dir) rmdir(dir.c_str());
  return false;
}
