// Argument parsing and the four commands of lunashot-pack. Every command
// reads and checks all its input before it writes its one output file.
#include "tools/commands.h"

#include <cstdlib>
#include <map>
#include <new>
#include <set>

#include "tools/file_io.h"
#include "tools/palette.h"
#include "tools/png_io.h"
#include "tools/sheet.h"
#include "tools/sound_command.h"
#include "tools/sprite_codec.h"

namespace tools {
namespace {

const char kUsageText[] =
    "usage: lunashot-pack COMMAND ARGUMENTS\n"
    "  palette IN.png|IN.gpl OUT.pal [--additive]\n"
    "  sprites SHEET.png OUT --cell WxH [--count N] [--palette PAL]\n"
    "  sprites --files A.png [B.png ...] OUT [--palette PAL]\n"
    "  unpack IN OUT.png --palette PAL [--background INDEX] [--columns N] [--view]\n"
    "  font GLYPHS.png OUT --cell WxH --first C [--count N] [--space W] [--line H] [--fixed]\n"
    "       [--palette PAL]\n"
    "  sound IN OUT.wav | sound --check FILE...\n";

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
    if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
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
    throw UsageError{option + " " + text + ": expected a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high)};
  return int(value);
}

void ParseCell(const std::string& text, int* w, int* h) {
  std::size_t x = text.find('x');
  if (x == std::string::npos) throw UsageError{"--cell " + text + ": expected WxH, for example 16x16"};
  *w = ParseNumber("--cell", text.substr(0, x), 1, 65535);
  *h = ParseNumber("--cell", text.substr(x + 1), 1, 65535);
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

bool LoadPalColours(const Arguments& a, PalFile* pal) {
  const std::string* path = a.Value("--palette");
  if (!path) return false;
  std::string error;
  Check(ReadPalFile(*path, pal, &error), error);
  return true;
}

// Reads a PNG and converts it to palette pixels. With cell_width > 0 the
// picture must first pass as a sheet of such cells.
PixelImage LoadPixels(const std::string& path, const Palette* palette, int cell_width = 0, int cell_height = 0,
                      int count = -1) {
  Image image;
  PixelImage pixels;
  std::string error;
  Check(ReadPng(path, &image, &error), error);
  if (cell_width > 0)
    Check(CheckCellGrid(image.width, image.height, path, cell_width, cell_height, count, &error), error);
  Check(ImageToPixels(image, path, palette, &pixels, &error), error);
  return pixels;
}

void WriteSpriteSet(const std::string& path, const std::vector<SpriteData>& sprites) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  Check(EncodeSpriteSet(sprites, &bytes, &error), error, path + ": ");
  Check(WriteFileAtomic(path, bytes, &error), error);
}

int PaletteCommand(const std::vector<std::string>& args, std::ostream& out) {
  Arguments a = Parse(args, {}, {"--additive"});
  ExpectPositional(a, 2, "palette IN.png|IN.gpl OUT.pal");
  Palette palette;
  int colours = 0;
  std::string error;
  Check(ReadPaletteSource(a.positional[0], &palette, &colours, &error), error);
  BlendMode mode = a.Has("--additive") ? BlendMode::kAdditive : BlendMode::kMix;
  Check(WriteFileAtomic(a.positional[1], BuildPalFile(palette, mode), &error), error);
  out << a.positional[1] << ": " << colours << " colours" << (colours < 256 ? " (the rest black)" : "")
      << ", " << (mode == BlendMode::kAdditive ? "additive" : "mixing") << " blend table\n";
  return kOk;
}

int SpritesCommand(const std::vector<std::string>& args, std::ostream& out) {
  Arguments a = Parse(args, {"--cell", "--count", "--palette"}, {"--files"});
  PalFile pal;
  bool have_palette = false;
  std::vector<PixelImage> cells;
  std::string error;
  std::string output;
  std::vector<std::string> labels;  // names the source of each sprite in messages
  if (a.Has("--files")) {
    if (a.Has("--cell") || a.Has("--count")) throw UsageError{"--cell and --count go with a sheet, not with --files"};
    if (a.positional.size() < 2) throw UsageError{"expected sprites --files A.png [B.png ...] OUT"};
    if (a.positional.size() - 1 > std::size_t(kMaxSprites))
      throw Failure{std::to_string(a.positional.size() - 1) + " files, more than a sprite set can hold (65535)"};
    have_palette = LoadPalColours(a, &pal);
    output = a.positional.back();
    for (std::size_t i = 0; i + 1 < a.positional.size(); ++i) {
      cells.push_back(LoadPixels(a.positional[i], have_palette ? &pal.colours : nullptr));
      labels.push_back(a.positional[i]);
    }
  } else {
    ExpectPositional(a, 2, "sprites SHEET.png OUT --cell WxH (or sprites --files A.png ... OUT)");
    if (!a.Has("--cell")) throw UsageError{"sprites needs --cell WxH"};
    int w, h;
    ParseCell(*a.Value("--cell"), &w, &h);
    int count = a.Has("--count") ? ParseNumber("--count", *a.Value("--count"), 0, kMaxSprites) : -1;
    have_palette = LoadPalColours(a, &pal);
    const std::string& sheet = a.positional[0];
    output = a.positional[1];
    Check(CutCells(LoadPixels(sheet, have_palette ? &pal.colours : nullptr, w, h, count), sheet, w, h, count, &cells,
                   &error),
          error);
    for (std::size_t i = 0; i < cells.size(); ++i) labels.push_back(sheet + ": cell " + std::to_string(i));
  }
  std::vector<SpriteData> sprites(cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i)
    Check(EncodeSprite(cells[i], &sprites[i], &error), error, labels[i] + ": ");
  WriteSpriteSet(output, sprites);
  out << output << ": " << sprites.size() << " sprites\n";
  return kOk;
}

int UnpackCommand(const std::vector<std::string>& args, std::ostream& out) {
  Arguments a = Parse(args, {"--palette", "--background", "--columns"}, {"--view"});
  ExpectPositional(a, 2, "unpack IN OUT.png --palette PAL");
  if (!a.Has("--palette")) throw UsageError{"unpack needs --palette PAL for the colours"};
  UnpackOptions options;
  if (a.Has("--background")) options.background = ParseNumber("--background", *a.Value("--background"), 0, 255);
  if (a.Has("--columns")) options.columns = ParseNumber("--columns", *a.Value("--columns"), 1, 65535);
  options.view = a.Has("--view");
  PalFile pal;
  LoadPalColours(a, &pal);

  const std::string& input = a.positional[0];
  std::vector<std::uint8_t> bytes;
  std::vector<SpriteData> sprites;
  std::string error;
  Check(ReadFile(input, &bytes, &error), error);
  Check(DecodeSpriteSet(bytes, input, &sprites, &error), error);
  Image image;
  int cw, ch, columns;
  Check(RenderSheet(sprites, pal, options, &image, &cw, &ch, &columns, &error), error, input + ": ");
  Check(WritePng(a.positional[1], image, &error), error);
  out << a.positional[1] << ": " << sprites.size() << " sprites in " << columns << " columns of " << cw << "x"
      << ch << " cells";
  if (!options.view)
    out << "; pack it again with --cell " << cw << "x" << ch << " --count " << sprites.size() << " --palette "
        << *a.Value("--palette");
  out << "\n";
  return kOk;
}

int FontCommand(const std::vector<std::string>& args, std::ostream& out) {
  Arguments a = Parse(args, {"--cell", "--first", "--count", "--space", "--line", "--palette"}, {"--fixed"});
  ExpectPositional(a, 2, "font GLYPHS.png OUT --cell WxH --first C");
  if (!a.Has("--cell") || !a.Has("--first")) throw UsageError{"font needs --cell WxH and --first C"};
  int w, h;
  ParseCell(*a.Value("--cell"), &w, &h);
  const std::string& first_text = *a.Value("--first");
  // A single character other than a digit stands for itself.
  int first = first_text.size() == 1 && !(first_text[0] >= '0' && first_text[0] <= '9')
                  ? static_cast<unsigned char>(first_text[0])
                  : ParseNumber("--first", first_text, 1, 255);
  int count = a.Has("--count") ? ParseNumber("--count", *a.Value("--count"), 0, 255) : -1;
  int space = a.Has("--space") ? ParseNumber("--space", *a.Value("--space"), 0, 65535) : (w + 1) / 2;
  int line = a.Has("--line") ? ParseNumber("--line", *a.Value("--line"), 0, 65535) : h;
  PalFile pal;
  bool have_palette = LoadPalColours(a, &pal);

  const std::string& sheet = a.positional[0];
  std::vector<PixelImage> cells;
  std::vector<SpriteData> sprites;
  std::string error;
  Check(CutCells(LoadPixels(sheet, have_palette ? &pal.colours : nullptr, w, h, count), sheet, w, h, count, &cells,
                   &error),
        error);
  Check(BuildFont(cells, first, space, line, a.Has("--fixed"), &sprites, &error), error, sheet + ": ");
  WriteSpriteSet(a.positional[1], sprites);
  out << a.positional[1] << ": font of " << cells.size() << " glyphs from byte " << first << ", space " << space
      << ", line " << line << "\n";
  return kOk;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    (args.empty() ? err : out) << kUsageText;
    return args.empty() ? kUsage : kOk;
  }
  try {
    const std::string& command = args[0];
    if (command == "palette") return PaletteCommand(args, out);
    if (command == "sprites") return SpritesCommand(args, out);
    if (command == "unpack") return UnpackCommand(args, out);
    if (command == "font") return FontCommand(args, out);
    if (command == "sound") return SoundCommand(args, out, err);
    throw UsageError{"unknown command " + command};
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
