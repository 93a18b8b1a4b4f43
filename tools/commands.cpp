// Argument parsing and the four commands of lunashot-pack. Every command
// reads and checks all its input before it writes its one output file.
#include "tools/commands.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <new>
#include <set>

#include "base/builtin_font.h"
#include "base/file.h"
#include "base/sprite_file.h"
#include "tools/aseprite.h"
#include "tools/build_file.h"
#include "tools/json.h"
#include "tools/output_guard.h"
#include "tools/palette.h"
#include "tools/picture.h"
#include "tools/png_io.h"
#include "tools/remap.h"
#include "tools/sheet.h"
#include "tools/sound_command.h"

namespace tools {
namespace {

const char kUsageText[] =
    "usage: lunashot-pack COMMAND ARGUMENTS (the output: -o OUT, or a last name ending in its "
    "extension)\n"
    "  palette IN.png|IN.gpl [MORE.png ...] OUT.pal [--additive] [--reserve N] [--fixed FILE.gpl] "
    "[--force]\n"
    "  sprites SHEET.png OUT.spr --cell WxH [--margin N] [--spacing N] [--count N] [--trim] "
    "[PIXELS]\n"
    "  sprites SHEET.png OUT.spr --aseprite SHEET.json [PIXELS]   (also writes OUT.lua)\n"
    "  sprites --files A.png [B.png ...] OUT.spr [--trim] [PIXELS]\n"
    "  unpack IN.spr OUT.png --palette PAL [--background INDEX] [--columns N] [--view]\n"
    "  font GLYPHS.png OUT.spr --cell WxH [--margin N] [--spacing N] [--count N] | --separator "
    "RRGGBB|auto\n"
    "       --first C | --chars STRING [--space W] [--line H] [--fixed] [PIXELS]\n"
    "  font --builtin OUT.spr [--colour INDEX]   (the engine's built-in font)\n"
    "  sound IN OUT.wav | sound --check FILE...\n"
    "  remap OLD.pal NEW.pal SET.spr [-o OUT.spr]   (the set's colours onto the new palette)\n"
    "  build [GAMEDIR] [--force]   (runs the out-of-date lines of GAMEDIR/art/build.txt)\n"
    "  PIXELS: [--palette PAL] [--dither] [--keep-indices] [--key RRGGBB|auto] [--alpha-floor N]\n"
    "  Pictures: PNG, JPEG, BMP, TGA or GIF, told by their bytes.\n";

struct UsageError {
  std::string message;
};

struct Arguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;
  std::set<std::string> flags;

  bool Has(const std::string& option) const { return values.count(option) || flags.count(option); }
  const std::string* Value(const std::string& option) const {
    auto found = values.find(option);
    return found == values.end() ? nullptr : &found->second;
  }
};

Arguments Parse(const std::vector<std::string>& args, const std::set<std::string>& with_value,
                const std::set<std::string>& flags) {
  Arguments parsed;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a.size() > 2 && a.compare(0, 2, "--") == 0) || a == "-o") {
      if (parsed.Has(a)) throw UsageError{a + " is given twice"};
      if (with_value.count(a)) {
        if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
        parsed.values[a] = args[++i];
      } else if (flags.count(a)) {
        parsed.flags.insert(a);
      } else {
        throw UsageError{"unknown option " + a + " for " + args[0]};
      }
    } else {
      parsed.positional.push_back(a);
    }
  }
  return parsed;
}

// A whole decimal number (or 0x hexadecimal) within [low, high].
int ParseNumber(const std::string& option, const std::string& text, long low, long high) {
  char* end = nullptr;
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  long value = text.empty() ? 0 : std::strtol(text.c_str(), &end, hex ? 16 : 10);
  if (text.empty() || *end || value < low || value > high || text[0] == '-' || text[0] == '+')
    throw UsageError{option + " " + text + ": expected a whole number from " + std::to_string(low) +
                     " to " + std::to_string(high)};
  return int(value);
}

void ParseCell(const std::string& text, int* w, int* h) {
  std::size_t x = text.find('x');
  if (x == std::string::npos)
    throw UsageError{"--cell " + text + ": expected WxH, for example 16x16"};
  *w = ParseNumber("--cell", text.substr(0, x), 1, base::kMaxSpriteSide);
  *h = ParseNumber("--cell", text.substr(x + 1), 1, base::kMaxSpriteSide);
}

// The output file: -o OUT, or else the last file name, which must then carry
// the extension the command writes; so a forgotten output name is an error
// and never the last input overwritten.
std::string TakeOutput(Arguments* a, OutputKind kind, const char* form) {
  if (const std::string* named = a->Value("-o")) return *named;
  if (a->positional.empty()) throw UsageError{std::string("expected ") + form};
  std::string last = a->positional.back();
  if (!HasExtension(last, kind))
    throw UsageError{"no output named: the last file, " + last + ", does not end in " +
                     ExtensionOf(kind) + "; end the output's name in " + ExtensionOf(kind) +
                     " or give -o OUT"};
  a->positional.pop_back();
  return last;
}

void ExpectPositional(const Arguments& a, std::size_t n, const char* what) {
  if (a.positional.size() != n) throw UsageError{std::string("expected ") + what};
}

struct Failure {
  std::string message;
};

// `error` is read only after `ok` has been computed, so it may be the
// message that computation wrote.
void Check(bool ok, const std::string& error, const std::string& prefix = "") {
  if (!ok) throw Failure{prefix + error};
}

void AddInputOptions(const Arguments& a, std::vector<std::string>* inputs);

void GuardOutput(const std::string& path, OutputKind kind, std::vector<std::string> inputs,
                 const Arguments& a) {
  AddInputOptions(a, &inputs);
  std::string error;
  Check(CheckOutput(path, kind, inputs, &error), error);
}

bool LoadPalColours(const Arguments& a, PalFile* pal) {
  const std::string* path = a.Value("--palette");
  if (!path) return false;
  std::string error;
  Check(base::ReadPalFile(*path, pal, &error), error);
  return true;
}

// Six hexadecimal digits as 0xRRGGBB, or -1.
int ParseRgb(const std::string& hex) {
  if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    return -1;
  return int(std::strtol(hex.c_str(), nullptr, 16));
}

// The options that say how colours become indices (sprites and font).
const std::set<std::string> kMapValues = {"--palette", "--key", "--alpha-floor"};
const std::set<std::string> kMapFlags = {"--dither", "--keep-indices"};

std::set<std::string> With(std::set<std::string> a, const std::set<std::string>& b) {
  a.insert(b.begin(), b.end());
  return a;
}

// Each command's options: those that take a value, then the flags.
const std::set<std::string> kPaletteValues = {"-o", "--reserve", "--fixed"};
const std::set<std::string> kPaletteFlags = {"--additive", "--force"};
const std::set<std::string> kSpritesValues =
    With({"-o", "--cell", "--count", "--margin", "--spacing", "--aseprite"}, kMapValues);
const std::set<std::string> kSpritesFlags = With({"--files", "--trim"}, kMapFlags);
const std::set<std::string> kUnpackValues = {"-o", "--palette", "--background", "--columns"};
const std::set<std::string> kUnpackFlags = {"--view"};
const std::set<std::string> kFontValues =
    With({"-o", "--cell", "--first", "--chars", "--count", "--space", "--line", "--margin",
          "--spacing", "--separator", "--colour"},
         kMapValues);
const std::set<std::string> kFontFlags = With({"--fixed", "--builtin"}, kMapFlags);

MapOptions ParseMapOptions(const Arguments& a, const PalFile* pal) {
  MapOptions options;
  options.palette = pal ? &pal->colours : nullptr;
  options.dither = a.Has("--dither");
  options.keep_indices = a.Has("--keep-indices");
  if (const std::string* floor = a.Value("--alpha-floor"))
    options.alpha_floor = ParseNumber("--alpha-floor", *floor, 0, 255);
  if (const std::string* key = a.Value("--key")) {
    std::string hex = !key->empty() && (*key)[0] == '#' ? key->substr(1) : *key;
    if (hex == "auto") {
      options.key_auto = true;
    } else if ((options.key = ParseRgb(hex)) < 0) {
      throw UsageError{"--key " + *key +
                       ": expected RRGGBB (six hexadecimal digits, say ff00ff) or auto"};
    }
  }
  return options;
}

// Reads a PNG; with a grid, checks the picture is a sheet of such cells
// before its colours are mapped.
Image LoadImage(const std::string& path, const Grid* grid = nullptr) {
  Image image;
  std::string error;
  Check(ReadPicture(path, &image, &error), error);
  if (grid) Check(CheckCellGrid(image.width, image.height, path, *grid, &error), error);
  return image;
}

// Converts a picture to palette pixels; a warning goes to `err`.
PixelImage ToPixels(const Image& image, const std::string& path, const MapOptions& options,
                    std::ostream& err) {
  PixelImage pixels;
  std::string error, warning;
  Check(ImageToPixels(image, path, options, &pixels, &warning, &error), error);
  if (!warning.empty()) err << "lunashot-pack: warning: " << warning << "\n";
  return pixels;
}

// --cell WxH [--margin N] [--spacing N] [--count N], for sheets.
Grid ParseGrid(const Arguments& a, long max_count) {
  Grid grid;
  ParseCell(*a.Value("--cell"), &grid.w, &grid.h);
  if (a.Has("--margin")) grid.margin = ParseNumber("--margin", *a.Value("--margin"), 0, 65535);
  if (a.Has("--spacing")) grid.spacing = ParseNumber("--spacing", *a.Value("--spacing"), 0, 65535);
  if (a.Has("--count")) grid.count = ParseNumber("--count", *a.Value("--count"), 0, max_count);
  return grid;
}

std::string ReadText(const std::string& path, std::size_t max_bytes) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  Check(ReadInput(path, max_bytes, &bytes, &error), error);
  return std::string(bytes.begin(), bytes.end());
}

// The script beside an Aseprite set replaces only a script the tool wrote:
// one written by hand under that name is someone's work.
void GuardScript(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;  // nothing there to lose
  std::vector<std::uint8_t> head;
  base::FileError failure;
  bool read = base::ReadFile(path, 4096, &head, &failure, true);
  if (!read || !IsAnimationScript(std::string(head.begin(), head.end())))
    throw Failure{path +
                  ": is a Lua script lunashot-pack did not write (its first line is not \"-- "
                  "Animations of ..., made by lunashot-pack.\"); refusing to replace it"};
}

// The sprites of an Aseprite export, each frame put back at its place in the
// untrimmed frame so that one hotspot fits them all; `lua` gets the script
// and `summary` what it holds.
std::vector<PixelImage> AsepriteCells(const Arguments& a, const Image& image,
                                      const std::string& sheet_path, const MapOptions& options,
                                      const std::string& output, std::string* lua,
                                      std::string* summary, std::ostream& err) {
  const std::string& json_path = *a.Value("--aseprite");
  JsonDocument doc;
  std::string error;
  Check(ParseJson(ReadText(json_path, kMaxAsepriteBytes), &doc, &error), error, json_path + ": ");
  AsepriteSheet sheet;
  Check(ReadAseprite(doc.root(), json_path, image.width, image.height, &sheet, &error), error);
  if (sheet.frames.size() > std::size_t(kMaxSprites))
    throw Failure{json_path + ": more than 65535 frames"};
  // Every frame is rebuilt at its untrimmed size, so a few lines of JSON
  // could ask for any amount of memory: the total is capped.
  long long area = 0;
  for (const AsepriteFrame& f : sheet.frames) {
    if (f.width > base::kMaxSpriteSide || f.height > base::kMaxSpriteSide)
      throw Failure{json_path + ": a frame of " + std::to_string(f.width) + "x" +
                    std::to_string(f.height) + " is larger than a sprite may be (16384 a side)"};
    area += static_cast<long long>(f.width) * f.height;
  }
  if (area > static_cast<long long>(base::kMaxSpriteFileBytes))
    throw Failure{json_path + ": the untrimmed frames hold " + std::to_string(area) +
                  " pixels in all, more than lunashot-pack rebuilds at once (" +
                  std::to_string(base::kMaxSpriteFileBytes) + ")"};
  PixelImage pixels = ToPixels(image, sheet_path, options, err);
  std::vector<PixelImage> cells;
  for (const AsepriteFrame& f : sheet.frames) {
    PixelImage cell(f.width, f.height);
    for (int y = 0; y < f.h; ++y)
      for (int x = 0; x < f.w; ++x) cell.at(f.left + x, f.top + y) = pixels.at(f.x + x, f.y + y);
    cells.push_back(std::move(cell));
  }
  *lua = AnimationScript(sheet, output, json_path);
  *summary = std::to_string(sheet.tags.size()) + " animations, hotspot (" +
             std::to_string(sheet.frames[0].hot_x) + ", " + std::to_string(sheet.frames[0].hot_y) +
             ")";
  return cells;
}

void WriteSpriteSet(const std::string& path, const std::vector<SpriteData>& sprites) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  Check(base::EncodeSpriteSet(sprites, &bytes, &error), error, path + ": ");
  Check(WriteOutput(path, bytes, &error), error);
}

// The game's palette (an existing pal.pal) is replaced only when no sprite
// set beside it draws a colour that would change, unless --force is given or
// the build remakes those sets after this line (`rebuilt`, by canonical path).
void GuardSets(const std::string& output, const Palette& palette, bool force,
               const std::set<std::string>& rebuilt, std::ostream& err) {
  std::filesystem::path path(output);
  if (path.filename() != "pal.pal") return;
  PalFile old;
  std::string error;
  struct stat st;
  if (stat(output.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
      !base::ReadPalFile(output, &old, &error))
    return;
  std::string dir = path.has_parent_path() ? path.parent_path().string() : ".";
  std::string list;
  for (const auto& [set, pixels] : SetsHitByPalette(dir, old.colours, palette)) {
    std::error_code ec;
    if (rebuilt.count(std::filesystem::weakly_canonical(set, ec).string())) continue;
    list += (list.empty() ? "" : ", ") + set + " (" + std::to_string(pixels) +
            (pixels == 1 ? " pixel)" : " pixels)");
  }
  if (list.empty()) return;
  if (force) {
    err << "lunashot-pack: warning: " << output << ": replaced with --force; these sets draw colours "
        << "it changes: " << list << "\n";
    return;
  }
  throw Failure{output + ": the new palette changes colours that sprite sets draw: " + list +
                "; nothing was written. Rebuild those sets after it (in the same build), or write "
                "it under another name (-o NEW.pal), re-map each set (lunashot-pack remap " +
                output + " NEW.pal SET.spr) and then put it in place, or give --force"};
}

int PaletteCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::set<std::string>& rebuilt) {
  Arguments a = Parse(args, kPaletteValues, kPaletteFlags);
  std::string output =
      TakeOutput(&a, OutputKind::kPalette, "palette IN.png|IN.gpl [MORE.png ...] OUT.pal");
  if (a.positional.empty())
    throw UsageError{"expected palette IN.png|IN.gpl [MORE.png ...] OUT.pal"};
  int reserve = a.Has("--reserve") ? ParseNumber("--reserve", *a.Value("--reserve"), 0, 255) : 0;
  GuardOutput(output, OutputKind::kPalette, a.positional, a);
  BlendMode mode = a.Has("--additive") ? BlendMode::kAdditive : BlendMode::kMix;
  const char* blend = mode == BlendMode::kAdditive ? "additive" : "mixing";
  Palette palette;
  std::string error;
  // One palette file or indexed PNG, alone: its entries as they are.
  const bool alone = a.positional.size() == 1 && !a.Has("--reserve") && !a.Has("--fixed");
  auto write_as_it_is = [&](int colours) {
    GuardSets(output, palette, a.Has("--force"), rebuilt, err);
    Check(WriteOutput(output, BuildPalFile(palette, mode), &error), error);
    out << output << ": " << colours << " colours" << (colours < 256 ? " (the rest black)" : "")
        << ", " << blend << " blend table\n";
    return kOk;
  };

  std::vector<Rgb> fixed;
  if (const std::string* path = a.Value("--fixed")) {
    int colours = 0;
    Check(ReadPaletteSource(*path, &palette, &colours, &error), error);
    fixed.assign(palette.begin(), palette.begin() + colours);
  }
  ColourCounts counts;
  for (const std::string& input : a.positional) {
    int colours = 0;
    // Whatever is not a picture is read as a palette (GIMP .gpl, whatever its
    // name), which names the problem when it is neither.
    if (!IsPictureFile(input)) {
      Check(ReadPaletteSource(input, &palette, &colours, &error), error);
      if (alone) return write_as_it_is(colours);
      for (int i = 0; i < colours; ++i) counts.Add(palette[i]);
      continue;
    }
    Image image;
    Check(ReadPicture(input, &image, &error), error);
    if (alone && image.format == Image::Format::kIndexed) {
      TakePalette(image, &palette, &colours);
      return write_as_it_is(colours);
    }
    counts.AddImage(image);
  }
  PaletteReport report;
  Check(BuildPalette(counts, fixed, reserve, &palette, &report, &error), error, output + ": ");
  GuardSets(output, palette, a.Has("--force"), rebuilt, err);
  Check(WriteOutput(output, BuildPalFile(palette, mode), &error), error);
  int start = std::max<int>(reserve, int(fixed.size()));
  out << output << ": ";
  if (start > 0) out << "entries 0-" << start - 1 << " kept (" << fixed.size() << " fixed), ";
  if (report.reduced) {
    out.setf(std::ios::fixed);
    out.precision(2);
    out << report.distinct << " colours reduced to " << report.placed << " (mean square error "
        << report.error << ")";
  } else {
    out << report.distinct << " colours, exact";
  }
  out << ", " << blend << " blend table\n";
  return kOk;
}

int SpritesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Arguments a = Parse(args, kSpritesValues, kSpritesFlags);
  std::string output =
      TakeOutput(&a, OutputKind::kSpriteSet, "sprites SHEET.png OUT.spr --cell WxH");
  GuardOutput(output, OutputKind::kSpriteSet, a.positional, a);
  std::string lua_path, lua, summary;  // the animations beside an Aseprite sheet's set
  if (a.Has("--aseprite")) {
    lua_path =
        output.substr(0, output.size() - (HasExtension(output, OutputKind::kSpriteSet) ? 4 : 0)) +
        ".lua";
    GuardOutput(lua_path, OutputKind::kScript, a.positional, a);
    GuardScript(lua_path);
  }
  PalFile pal;
  bool have_palette = LoadPalColours(a, &pal);
  MapOptions options = ParseMapOptions(a, have_palette ? &pal : nullptr);
  std::vector<PixelImage> cells;
  std::string error;
  std::vector<std::string> labels;  // names the source of each sprite in messages
  bool grid_options =
      a.Has("--cell") || a.Has("--count") || a.Has("--margin") || a.Has("--spacing");
  if (a.Has("--files")) {
    if (grid_options || a.Has("--aseprite"))
      throw UsageError{
          "--cell, --count, --margin, --spacing and --aseprite go with a sheet, not with --files"};
    if (a.positional.empty())
      throw UsageError{"expected sprites --files A.png [B.png ...] OUT.spr"};
    if (a.positional.size() > std::size_t(kMaxSprites))
      throw Failure{std::to_string(a.positional.size()) +
                    " files, more than a sprite set can hold (65535)"};
    // A GIF gives one sprite a frame.
    for (const std::string& path : a.positional) {
      std::vector<Image> frames;
      Check(ReadFrames(path, &frames, &error), error);
      for (std::size_t f = 0; f < frames.size(); ++f) {
        std::string label = frames.size() > 1 ? path + ": frame " + std::to_string(f) : path;
        cells.push_back(ToPixels(frames[f], label, options, err));
        labels.push_back(label);
      }
    }
    if (cells.size() > std::size_t(kMaxSprites))
      throw Failure{std::to_string(cells.size()) +
                    " pictures and frames, more than a sprite set can hold (65535)"};
  } else if (a.Has("--aseprite")) {
    ExpectPositional(a, 1, "sprites SHEET.png OUT.spr --aseprite SHEET.json");
    if (grid_options)
      throw UsageError{"--aseprite takes the frames from the JSON file, not from --cell"};
    const std::string& sheet = a.positional[0];
    cells = AsepriteCells(a, LoadImage(sheet), sheet, options, output, &lua, &summary, err);
    for (std::size_t i = 0; i < cells.size(); ++i)
      labels.push_back(sheet + ": frame " + std::to_string(i));
  } else {
    ExpectPositional(a, 1,
                     "sprites SHEET.png OUT.spr --cell WxH (or sprites --files A.png ... OUT.spr)");
    if (!a.Has("--cell")) throw UsageError{"sprites needs --cell WxH"};
    Grid grid = ParseGrid(a, kMaxSprites);
    const std::string& sheet = a.positional[0];
    Check(CutCells(ToPixels(LoadImage(sheet, &grid), sheet, options, err), sheet, grid, &cells,
                   &error),
          error);
    for (std::size_t i = 0; i < cells.size(); ++i)
      labels.push_back(sheet + ": cell " + std::to_string(i));
  }
  if (a.Has("--trim")) {
    // Each sprite's corner in its cell, so scripts can place it where the
    // whole cell would have been: hotspot = the cell's hotspot - corner.
    for (std::size_t i = 0; i < cells.size(); ++i) {
      int x, y, w = cells[i].width, h = cells[i].height;
      cells[i] = TrimCell(cells[i], &x, &y);
      out << "sprite " << i << ": " << cells[i].width << "x" << cells[i].height << " from (" << x
          << ", " << y << ") of its cell; the cell's centre is its hotspot (" << w / 2 - x << ", "
          << h / 2 - y << ")\n";
    }
  }
  std::vector<SpriteData> sprites(cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i)
    Check(base::EncodeSprite(cells[i], &sprites[i], &error), error, labels[i] + ": ");
  WriteSpriteSet(output, sprites);
  out << output << ": " << sprites.size() << " sprites\n";
  if (!lua_path.empty()) {
    Check(WriteOutput(lua_path, std::vector<std::uint8_t>(lua.begin(), lua.end()), &error), error);
    out << lua_path << ": " << summary << "\n";
  }
  return kOk;
}

int UnpackCommand(const std::vector<std::string>& args, std::ostream& out) {
  Arguments a = Parse(args, kUnpackValues, kUnpackFlags);
  std::string output = TakeOutput(&a, OutputKind::kPicture, "unpack IN.spr OUT.png --palette PAL");
  ExpectPositional(a, 1, "unpack IN.spr OUT.png --palette PAL");
  GuardOutput(output, OutputKind::kPicture, a.positional, a);
  if (!a.Has("--palette")) throw UsageError{"unpack needs --palette PAL for the colours"};
  UnpackOptions options;
  if (a.Has("--background"))
    options.background = ParseNumber("--background", *a.Value("--background"), 0, 255);
  if (a.Has("--columns"))
    options.columns = ParseNumber("--columns", *a.Value("--columns"), 1, 65535);
  options.view = a.Has("--view");
  PalFile pal;
  LoadPalColours(a, &pal);

  const std::string& input = a.positional[0];
  std::vector<std::uint8_t> bytes;
  std::vector<base::SpriteView> sprites;
  std::string error;
  Check(ReadInput(input, base::kMaxSpriteFileBytes, &bytes, &error), error);
  Check(base::DecodeSpriteSet(bytes.data(), bytes.size(), &sprites, &error), error, input + ": ");
  Image image;
  int cw, ch, columns;
  Check(RenderSheet(sprites, pal, options, &image, &cw, &ch, &columns, &error), error,
        input + ": ");
  Check(WritePng(output, std::move(image), &error), error);
  out << output << ": " << sprites.size() << " sprites in " << columns << " columns of " << cw
      << "x" << ch << " cells";
  if (!options.view)
    out << "; pack it again with --cell " << cw << "x" << ch << " --count " << sprites.size()
        << " --palette " << *a.Value("--palette");
  out << "\n";
  return kOk;
}

// The engine's built-in 5x7 font (the error screen's) in one palette colour.
int BuiltinFontCommand(Arguments a, std::ostream& out) {
  std::string output =
      TakeOutput(&a, OutputKind::kSpriteSet, "font --builtin OUT.spr [--colour INDEX]");
  ExpectPositional(a, 0, "font --builtin OUT.spr [--colour INDEX]");
  if (a.values.size() > (a.Has("--colour") ? 1u : 0u) || a.flags.size() != 1)
    throw UsageError{"expected font --builtin OUT.spr [--colour INDEX]"};
  GuardOutput(output, OutputKind::kSpriteSet, a.positional, a);
  int colour = a.Has("--colour") ? ParseNumber("--colour", *a.Value("--colour"), 0, 255) : 15;
  WriteSpriteSet(output, base::BuiltinFontSprites(std::uint8_t(colour)));
  out << output << ": the built-in font in colour " << colour << ", space " << base::kFontSetAdvance
      << ", line " << base::kFontSetLine << "\n";
  return kOk;
}

int FontCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Arguments a = Parse(args, kFontValues, kFontFlags);
  if (a.Has("--builtin")) return BuiltinFontCommand(a, out);
  if (a.Has("--colour")) throw UsageError{"--colour goes with font --builtin"};
  std::string output =
      TakeOutput(&a, OutputKind::kSpriteSet, "font GLYPHS.png OUT.spr --cell WxH --first C");
  ExpectPositional(a, 1, "font GLYPHS.png OUT.spr --cell WxH --first C");
  GuardOutput(output, OutputKind::kSpriteSet, a.positional, a);
  bool strip = a.Has("--separator");
  if (strip == a.Has("--cell"))
    throw UsageError{"font needs --cell WxH for a grid or --separator COLOUR for a strip"};
  if (a.Has("--first") == a.Has("--chars"))
    throw UsageError{"font needs --first C or --chars \"STRING\" (one of them)"};
  if (strip && (a.Has("--margin") || a.Has("--spacing") || a.Has("--count")))
    throw UsageError{"--margin, --spacing and --count go with --cell, not with --separator"};
  int first = 0;
  std::string chars;
  if (const std::string* text = a.Value("--first")) {
    // A single character other than a digit stands for itself.
    first = text->size() == 1 && !((*text)[0] >= '0' && (*text)[0] <= '9')
                ? static_cast<unsigned char>((*text)[0])
                : ParseNumber("--first", *text, 0, 255);
  } else {
    chars = *a.Value("--chars");
    std::set<char> seen;
    for (char c : chars)
      if (!seen.insert(c).second)
        throw UsageError{"--chars: '" + std::string(1, c) + "' is given twice"};
    if (chars.empty() || chars.size() > 256)
      throw UsageError{"--chars: expected 1 to 256 characters"};
  }
  PalFile pal;
  bool have_palette = LoadPalColours(a, &pal);
  MapOptions options = ParseMapOptions(a, have_palette ? &pal : nullptr);

  const std::string& sheet = a.positional[0];
  std::vector<PixelImage> cells;
  std::vector<SpriteData> sprites;
  std::string error;
  int cell_w, cell_h;
  if (strip) {
    int separator = -1;
    std::string text = *a.Value("--separator");
    if (text != "auto") {
      if (!text.empty() && text[0] == '#') text.erase(0, 1);
      if ((separator = ParseRgb(text)) < 0)
        throw UsageError{"--separator " + text +
                         ": expected RRGGBB or auto (the top-left pixel's colour)"};
    }
    Image image = LoadImage(sheet);
    std::vector<std::pair<int, int>> runs;
    Check(SplitStrip(image, sheet, separator, &runs, &error), error);
    PixelImage pixels = ToPixels(image, sheet, options, err);
    cell_w = 0, cell_h = image.height;
    for (const auto& run : runs) {
      cells.push_back(pixels.Crop(run.first, 0, run.second, image.height));
      cell_w = std::max(cell_w, run.second);
    }
  } else {
    Grid grid = ParseGrid(a, 256);
    cell_w = grid.w, cell_h = grid.h;
    Check(CutCells(ToPixels(LoadImage(sheet, &grid), sheet, options, err), sheet, grid, &cells,
                   &error),
          error);
  }
  int space = a.Has("--space")
                  ? ParseNumber("--space", *a.Value("--space"), 0, base::kMaxSpriteSide)
                  : (cell_w + 1) / 2;
  int line =
      a.Has("--line") ? ParseNumber("--line", *a.Value("--line"), 0, base::kMaxSpriteSide) : cell_h;
  Check(BuildFont(cells, first, chars, space, line, a.Has("--fixed"), &sprites, &error), error,
        sheet + ": ");
  WriteSpriteSet(output, sprites);
  out << output << ": font of " << (chars.empty() ? cells.size() : chars.size()) << " glyphs ";
  if (chars.empty())
    out << "from byte " << first;
  else
    out << "in the order given";
  out << ", space " << space << ", line " << line << "\n";
  return kOk;
}

// remap OLD.pal NEW.pal SET.spr [-o OUT.spr]: in place unless -o names another file.
int RemapCommand(const std::vector<std::string>& args, std::ostream& out) {
  Arguments a = Parse(args, {"-o"}, {});
  ExpectPositional(a, 3, "remap OLD.pal NEW.pal SET.spr [-o OUT.spr]");
  const std::string& set = a.positional[2];
  const std::string* named = a.Value("-o");
  std::string output = named ? *named : set;
  if (named) GuardOutput(output, OutputKind::kSpriteSet, a.positional, a);
  PalFile old_pal, new_pal;
  std::string error;
  Check(base::ReadPalFile(a.positional[0], &old_pal, &error), error);
  Check(base::ReadPalFile(a.positional[1], &new_pal, &error), error);
  std::vector<std::uint8_t> bytes;
  Check(ReadInput(set, base::kMaxSpriteFileBytes, &bytes, &error), error);
  std::vector<SpriteData> sprites;
  std::size_t moved = 0;
  const std::array<std::uint8_t, 256> table = RemapTable(old_pal.colours, new_pal.colours);
  Check(RemapSet(bytes, table, &sprites, &moved, &error), error, set + ": ");
  WriteSpriteSet(output, sprites);
  int indices = 0;
  for (int i = 0; i < 256; ++i) indices += table[i] != i;
  out << output << ": " << sprites.size() << " sprites, " << moved << " pixels re-mapped ("
      << indices << " of the old palette's indices move to the nearest new colour)\n";
  return kOk;
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::set<std::string>& rebuilt) {
  const std::string& command = args[0];
  if (command == "palette") return PaletteCommand(args, out, err, rebuilt);
  if (command == "sprites") return SpritesCommand(args, out, err);
  if (command == "unpack") return UnpackCommand(args, out);
  if (command == "font") return FontCommand(args, out, err);
  if (command == "sound") return SoundCommand(args, out, err);
  if (command == "remap") return RemapCommand(args, out);
  if (command == "build") return BuildCommand(args, out, err);
  throw UsageError{"unknown command " + command};
}

void AddInputOptions(const Arguments& a, std::vector<std::string>* inputs) {
  for (const char* option : {"--palette", "--fixed", "--aseprite"})
    if (const std::string* value = a.Value(option)) inputs->push_back(*value);
}

}  // namespace

bool CommandFiles(const std::vector<std::string>& args, std::vector<std::string>* inputs,
                  std::vector<std::string>* outputs, std::string* error) {
  inputs->clear();
  outputs->clear();
  try {
    if (args.empty()) throw UsageError{"no command"};
    const std::string& command = args[0];
    Arguments a;
    if (command == "palette") {
      a = Parse(args, kPaletteValues, kPaletteFlags);
      outputs->push_back(TakeOutput(&a, OutputKind::kPalette, "palette IN ... OUT.pal"));
    } else if (command == "sprites") {
      a = Parse(args, kSpritesValues, kSpritesFlags);
      outputs->push_back(TakeOutput(&a, OutputKind::kSpriteSet, "sprites SHEET.png OUT.spr"));
      const std::string& o = outputs->back();
      if (a.Has("--aseprite"))
        outputs->push_back(
            o.substr(0, o.size() - (HasExtension(o, OutputKind::kSpriteSet) ? 4 : 0)) + ".lua");
    } else if (command == "unpack") {
      a = Parse(args, kUnpackValues, kUnpackFlags);
      outputs->push_back(TakeOutput(&a, OutputKind::kPicture, "unpack IN.spr OUT.png"));
    } else if (command == "font") {
      a = Parse(args, kFontValues, kFontFlags);
      outputs->push_back(TakeOutput(&a, OutputKind::kSpriteSet, "font GLYPHS.png OUT.spr"));
    } else if (command == "remap") {
      a = Parse(args, {"-o"}, {});
      ExpectPositional(a, 3, "remap OLD.pal NEW.pal SET.spr [-o OUT.spr]");
      outputs->push_back(a.Has("-o") ? *a.Value("-o") : a.positional[2]);
    } else if (command == "sound") {
      for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--check") throw UsageError{"sound --check writes nothing to build"};
        a.positional.push_back(args[i]);
      }
      ExpectPositional(a, 2, "sound IN OUT.wav");
      outputs->push_back(a.positional.back());
      a.positional.pop_back();
    } else {
      throw UsageError{command == "build" ? "build runs the build file; it is not a line of one"
                                          : "unknown command " + command};
    }
    *inputs = a.positional;
    AddInputOptions(a, inputs);
    return true;
  } catch (const UsageError& e) {
    *error = e.message;
    return false;
  }
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return Run(args, out, err, {});
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const std::set<std::string>& rebuilt_sets) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    (args.empty() ? err : out) << kUsageText;
    return args.empty() ? kUsage : kOk;
  }
  try {
    return Dispatch(args, out, err, rebuilt_sets);
  } catch (const UsageError& e) {
    err << "lunashot-pack: " << e.message << "\n" << kUsageText;
    return kUsage;
  } catch (const Failure& e) {
    err << "lunashot-pack: " << e.message << "\n";
    return kFailed;
  } catch (const std::bad_alloc&) {
    err << "lunashot-pack: out of memory\n";
    return kFailed;
  }
}

}  // namespace tools
