// Output checks: identity by device and inode (so links and "./a.png" are
// caught), then the kind of an existing file by its first bytes and its name.
#include "tools/output_guard.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "base/module_file.h"
#include "tools/picture.h"

namespace tools {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string ExtensionOfName(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return Lower(path.substr(dot));
}

// The kind of file the first bytes show, or nullptr when they show none.
const char* KindByContent(const std::string& head) {
  auto starts = [&](const char* magic, std::size_t at = 0) {
    return head.size() >= at + std::strlen(magic) &&
           head.compare(at, std::strlen(magic), magic) == 0;
  };
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(head.data());
  if (const char* picture = MarkedPictureFormat(bytes, head.size())) {
    static const char* const kPictures[][2] = {{"PNG", "PNG picture"}, {"JPEG", "JPEG picture"},
                                               {"GIF", "GIF picture"}, {"BMP", "BMP picture"},
                                               {"PCX", "PCX picture"}};
    for (const auto& p : kPictures)
      if (std::strcmp(picture, p[0]) == 0) return p[1];
  }
  if (base::ModuleKind(bytes, head.size())) return "tracker module";
  if (starts("wvpk")) return "WavPack sound";
  if (starts("RIFF") && starts("WAVE", 8)) return "WAV sound";
  if (starts("OggS")) return "Ogg file";
  if (starts("\x1bLua")) return "compiled Lua chunk";
  std::size_t text = head.find_first_not_of(" \t\r\n");
  if (text != std::string::npos && head.compare(text, 3, "\xEF\xBB\xBF") == 0) text += 3;
  if (text != std::string::npos && head.compare(text, 12, "GIMP Palette") == 0)
    return "GIMP palette";
  if (text != std::string::npos && text < head.size() && (head[text] == '{' || head[text] == '['))
    return "JSON file";
  return nullptr;
}

const char* KindByName(const std::string& extension) {
  static const char* const kNames[][2] = {
      {".png", "PNG picture"},   {".gif", "GIF picture"},        {".jpg", "JPEG picture"},
      {".jpeg", "JPEG picture"}, {".bmp", "BMP picture"},        {".gpl", "GIMP palette"},
      {".tga", "TGA picture"},   {".pcx", "PCX picture"},        {".mod", "tracker module"},
      {".xm", "tracker module"}, {".s3m", "tracker module"},     {".it", "tracker module"},
      {".json", "JSON file"},    {".lua", "Lua script"},         {".wav", "WAV sound"},
      {".ogg", "Ogg file"},      {".aseprite", "Aseprite file"}, {".ase", "Aseprite file"},
      {".spr", "sprite set"},    {".pal", "palette file"},       {".txt", "text file"}};
  for (const auto& entry : kNames)
    if (extension == entry[0]) return entry[1];
  return nullptr;
}

const char* KindName(OutputKind kind) {
  switch (kind) {
    case OutputKind::kSpriteSet: return "sprite set";
    case OutputKind::kPalette: return "palette file";
    case OutputKind::kPicture: return "PNG picture";
    case OutputKind::kScript: return "Lua script";
    case OutputKind::kSound: return "WAV sound";
  }
  return "";
}

}  // namespace

const char* ExtensionOf(OutputKind kind) {
  switch (kind) {
    case OutputKind::kSpriteSet: return ".spr";
    case OutputKind::kPalette: return ".pal";
    case OutputKind::kPicture: return ".png";
    case OutputKind::kScript: return ".lua";
    case OutputKind::kSound: return ".wav";
  }
  return "";
}

bool HasExtension(const std::string& path, OutputKind kind) {
  return ExtensionOfName(path) == ExtensionOf(kind) && path.find_last_of('/') + 2 < path.size();
}

bool CheckOutput(const std::string& path, OutputKind kind, const std::vector<std::string>& inputs,
                 std::string* error) {
  struct stat out;
  if (stat(path.c_str(), &out) != 0) {
    for (const std::string& input : inputs)
      if (input == path) {
        *error = path + ": is also an input; nothing was written";
        return false;
      }
    return true;  // nothing there to lose (a missing folder fails at the write)
  }
  for (const std::string& input : inputs) {
    struct stat in;
    if (input == path ||
        (stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino)) {
      *error = path + ": is also an input (" + input +
               "); name the output with -o OUT; nothing was written";
      return false;
    }
  }
  if (!S_ISREG(out.st_mode)) return true;  // a folder or device fails at the write, untouched
  std::string head;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[1084];  // a MOD's mark is at 1080
    head.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
    std::fclose(f);
  }
  const char* wanted = KindName(kind);
  const char* found = KindByContent(head);
  if (!found) found = KindByName(ExtensionOfName(path));
  // A script is text of its own: only a file that shows another kind is refused.
  if (kind == OutputKind::kScript && found && std::strcmp(found, "Lua script") == 0)
    found = nullptr;
  if (found && std::strcmp(found, wanted) != 0) {
    *error =
        path + ": is an existing " + found + ", not a " + wanted + "; refusing to write over it";
    return false;
  }
  return true;
}

}  // namespace tools
