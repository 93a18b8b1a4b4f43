// Which of the four tracker formats a file's bytes carry: known without
// libxmp, so that every build (and the asset tool's guards) can tell.
#include <cstring>

#include "base/module_file.h"

namespace base {

namespace {

bool Digit(std::uint8_t c) { return c >= '0' && c <= '9'; }

// The four bytes at 1080 of a 31-sample MOD: ProTracker's marks and those of
// the trackers that took its format for more channels.
bool ModMark(const std::uint8_t* m) {
  static const char* const kMarks[] = {"M.K.", "M!K!", "M&K!", "N.T.", "FLT4",
                                       "FLT8", "CD81", "OKTA", "OCTA"};
  for (const char* mark : kMarks)
    if (std::memcmp(m, mark, 4) == 0) return true;
  if (Digit(m[0]) && m[0] != '0' && std::memcmp(m + 1, "CHN", 3) == 0) return true;  // 6CHN
  return Digit(m[0]) && Digit(m[1]) && m[2] == 'C' && (m[3] == 'H' || m[3] == 'N');  // 16CH
}

}  // namespace

const char* ModuleKind(const std::uint8_t* data, std::size_t size) {
  // A WAV's samples may spell a mark at 44 or 1080; no module starts so.
  if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0)
    return nullptr;
  if (size >= 17 && std::memcmp(data, "Extended Module: ", 17) == 0) return "XM";
  if (size >= 4 && std::memcmp(data, "IMPM", 4) == 0) return "IT";
  if (size >= 48 && std::memcmp(data + 44, "SCRM", 4) == 0) return "S3M";
  if (size >= 1084 && ModMark(data + 1080)) return "MOD";
  return nullptr;
}

}  // namespace base
