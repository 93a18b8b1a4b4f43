// The replay file: the text the engine writes for a recorded play and the
// only text it reads back. Five fixed lines (two RunScript lines, VAR_replay,
// VAR_life, VAR_score), then one rep(frame,key) line a record, each ended by
// '\n'. ParseReplay accepts exactly what ReplayText writes: writing what it
// accepted gives back the same bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace base {

// Far more than hours of play (one record a frame is about 12 bytes).
constexpr std::size_t kMaxReplayBytes = std::size_t{16} << 20;

struct ReplayFile {
  std::string scripts[2];  // names below script/
  int life = 0;
  int score = 0;
  std::vector<std::pair<std::uint32_t, std::uint8_t>> records;  // frame, key; in file order
};

// Neither absolute nor holding a ".." part: the name stays in script/.
bool ScriptNameStaysInside(const std::string& name);

// The file's text. The script names must be ones the reader accepts (no
// quote, backslash, CR, LF or NUL; inside script/); callers check first.
std::string ReplayText(const ReplayFile& replay);

// False with "line N ..." in `error` for anything ReplayText cannot have
// written.
bool ParseReplay(std::string_view text, ReplayFile* replay, std::string* error);

}  // namespace base
