// Replay records, the replay file writer, the replay reader and the directory
// listing. A replay file is data: RunReplay accepts exactly the lines that
// SaveReplayFile writes and carries them out itself, so a shared file can
// run the two scripts it names, set three globals and queue keys, and
// nothing else.
#include "event/replay.h"

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lua.h"

#include "base/error.h"
#include "base/file.h"
#include "base/paths.h"
#include "script/host.h"

namespace event {

std::list<std::unique_ptr<ReplayEvent>> ReplayRecords;

namespace {

constexpr std::size_t kMaxName = 255;

std::vector<std::string> listing;

// Neither absolute nor holding a ".." part: the name stays in script/.
bool ScriptNameStaysInside(const std::string& name) {
  if (!name.empty() && name[0] == '/') return false;
  for (std::size_t at = 0; at <= name.size();) {
    std::size_t end = name.find('/', at);
    if (end == std::string::npos) end = name.size();
    if (name.compare(at, end - at, "..") == 0) return false;
    at = end + 1;
  }
  return true;
}

// Each name goes between single quotes in a line of the file, and the
// prefix and the second name make the file's name: refuse what would end
// the quote, escape or start a new line; a file name holds no '/' (it would
// leave replay/), and a script name none that leaves script/ (the reader
// refuses those). A NUL byte would silently cut the name. `argument` is the
// name's position in the script's call.
void CheckName(const char* what, const char* name, int argument, bool file_name, bool script_name) {
  if (!name) base::Fail("SaveReplayFile", "the %s is nil", what);
  if (script::ArgumentHoldsNul(argument))
    base::Fail("SaveReplayFile", "the %s '%.64s...' holds a NUL byte", what, name);
  for (const char* c = name; *c; ++c) {
    if (*c == '\'' || *c == '\\' || *c == '\n' || *c == '\r')
      base::Fail("SaveReplayFile", "the %s '%.64s' holds a quote, backslash or line break", what,
                 name);
  }
  if (file_name && std::strchr(name, '/'))
    base::Fail("SaveReplayFile", "the %s '%.64s' holds a '/' (it is part of a file name)", what,
               name);
  if (script_name && !ScriptNameStaysInside(name))
    base::Fail("SaveReplayFile", "the %s '%.64s' leaves the script folder", what, name);
}

// A replay file the engine wrote, read back: its two script names, life,
// score and the records in file order.
struct ReplayFile {
  std::string scripts[2];
  int life = 0;
  int score = 0;
  std::vector<std::pair<dword, std::uint8_t>> records;
};

// Far more than hours of play (one record a frame is about 12 bytes).
constexpr std::size_t kMaxReplayBytes = std::size_t{16} << 20;

// Reads a decimal int as "%d" writes it; advances `at`.
bool ReadInt(const std::string& line, std::size_t* at, int* out) {
  std::size_t i = *at;
  bool negative = i < line.size() && line[i] == '-';
  if (negative) ++i;
  std::size_t first = i;
  long long v = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9' && i - first < 11)
    v = v * 10 + (line[i++] - '0');
  if (i == first || (i - first > 1 && line[first] == '0') || (negative && v == 0)) return false;
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  *out = static_cast<int>(v);
  *at = i;
  return true;
}

bool ReadIntLine(const std::string& line, const char* head, int* out) {
  std::size_t n = std::strlen(head), at = n;
  return line.compare(0, n, head) == 0 && ReadInt(line, &at, out) && at == line.size();
}

// A script name that SaveReplayFile could have written (no quote, backslash
// or line break) and that stays inside the script folder.
bool ReadScriptLine(const std::string& line, std::string* name) {
  const std::string head = "RunScript('", tail = "')";
  if (line.size() < head.size() + tail.size() || line.compare(0, head.size(), head) != 0 ||
      line.compare(line.size() - tail.size(), tail.size(), tail) != 0)
    return false;
  *name = line.substr(head.size(), line.size() - head.size() - tail.size());
  if (name->find_first_of(std::string("'\\\r\0", 4)) != std::string::npos) return false;
  return ScriptNameStaysInside(*name);
}

bool ReadRepLine(const std::string& line, std::pair<dword, std::uint8_t>* record) {
  std::size_t at = 4;
  int frame = 0, key = 0;
  if (line.compare(0, 4, "rep(") != 0 || !ReadInt(line, &at, &frame) || at >= line.size() ||
      line[at++] != ',' || !ReadInt(line, &at, &key) || key < 0 || key > 255 ||
      line.size() != at + 1 || line[at] != ')')
    return false;
  *record = {static_cast<dword>(frame), static_cast<std::uint8_t>(key)};
  return true;
}

// Parses the text of a replay file; false with the reason in `error`.
bool ParseReplay(const std::string& text, ReplayFile* replay, std::string* error) {
  std::size_t at = 0;
  int n = 1;
  for (; at < text.size(); ++n) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) {
      *error = "line " + std::to_string(n) + " does not end";
      return false;
    }
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    bool ok = false;
    if (n <= 2)
      ok = ReadScriptLine(line, &replay->scripts[n - 1]);
    else if (n == 3)
      ok = line == "VAR_replay=true";
    else if (n == 4)
      ok = ReadIntLine(line, "VAR_life=", &replay->life);
    else if (n == 5)
      ok = ReadIntLine(line, "VAR_score=", &replay->score);
    else
      ok = ReadRepLine(line, &replay->records.emplace_back());
    if (!ok) {
      *error = "line " + std::to_string(n) + " is not a line of a replay";
      return false;
    }
  }
  if (n <= 5) {
    *error = "it ends after " + std::to_string(n - 1) + " of the 5 lines that every replay has";
    return false;
  }
  return true;
}

bool ReadReplay(const char* path, ReplayFile* replay, std::string* error) {
  std::vector<std::uint8_t> bytes;
  base::FileError failure;
  if (!base::ReadFile(path, kMaxReplayBytes, &bytes, &failure)) {
    if (failure.reason == base::kNotRegularFile)
      *error = std::string(path) + ": not a replay file: not a plain file";
    else if (std::strcmp(failure.step, "too large") == 0)
      *error = std::string(path) + ": not a replay file: it is larger than 16 MB";
    else
      *error = std::string("cannot read ") + path + ": " + failure.reason;
    return false;
  }
  const std::string text(bytes.begin(), bytes.end());
  std::string why;
  if (!ParseReplay(text, replay, &why)) {
    *error = std::string(path) + ": not a replay file: " + why;
    return false;
  }
  return true;
}

int LongerThanFour(const struct dirent* entry) { return std::strlen(entry->d_name) > 4; }

// The replay script: the two script runs, the saved variables, then one
// rep(frame, key) line per record.
std::string ReplayText(const char* first, const char* second, int life, int score) {
  std::string text = std::string("RunScript('") + first + "')\nRunScript('" + second +
                     "')\nVAR_replay=true\nVAR_life=" + std::to_string(life) +
                     "\nVAR_score=" + std::to_string(score) + "\n";
  char line[32];
  for (const auto& r : ReplayRecords) {
    // %d of the frame: the value a script passed (numbers are 32-bit signed).
    std::snprintf(line, sizeof line, "rep(%d,%d)\n", static_cast<int>(r->time), r->key);
    text += line;
  }
  return text;
}

}  // namespace

void SaveReplay(dword frame, std::uint8_t key) {
  auto r = std::make_unique<ReplayEvent>();
  r->time = frame;
  r->key = key;
  ReplayRecords.push_back(std::move(r));
}

void SaveReplayFile(const char* prefix, const char* first, const char* second, int life,
                    int score) {
  CheckName("prefix", prefix, 1, true, false);
  CheckName("first script name", first, 2, false, true);
  CheckName("second script name", second, 3, true, true);
  const std::string name = std::string(prefix) + "_" + second;
  if (name.size() > kMaxName)
    base::Fail("SaveReplayFile", "the file name would be longer than %zu characters", kMaxName);
  const char* built = base::GetReplayPath(name.c_str());
  if (!built)
    base::Fail("SaveReplayFile", "the path would be longer than %zu characters", kMaxName);
  const std::string path = built;

  // base::WriteFileAtomic's temporary file lies beside the target (so the
  // rename is atomic) and has a four-character name, which no listing shows.
  const std::string text = ReplayText(first, second, life, score);
  base::FileError failure;
  if (!base::WriteFileAtomic(path, text.data(), text.size(), &failure))
    base::Fail("SaveReplayFile", "%s %s: %s", failure.step, path.c_str(), failure.reason.c_str());
  ReplayRecords.clear();
}

void RunReplay(const char* name) {
  const char* built = name ? base::GetReplayPath(name) : nullptr;
  if (!built)
    base::Fail("RunReplay", name ? "the path would be longer than 255 characters"
                                 : "no replay name given (nil)");
  const std::string path = built;
  ReplayFile replay;
  std::string error;
  if (!ReadReplay(path.c_str(), &replay, &error)) {
    script::ReportFailure(error);
    return;
  }
  // What running the file as a script did, in its order: the two scripts
  // (each reports its own failures), the three globals, then the records.
  script::RunProtected([&](lua_State* L) {
    for (const std::string& s : replay.scripts) script::RunScript(s.c_str());
    lua_pushboolean(L, 1);
    lua_setfield(L, LUA_GLOBALSINDEX, "VAR_replay");
    lua_pushinteger(L, replay.life);
    lua_setfield(L, LUA_GLOBALSINDEX, "VAR_life");
    lua_pushinteger(L, replay.score);
    lua_setfield(L, LUA_GLOBALSINDEX, "VAR_score");
    for (const auto& r : replay.records) rep(r.first, r.second);
  });
}

int GetReplayFiles() {
  const char* dir = base::GetReplayPath("");
  if (!dir) return -1;
  struct dirent** entries = nullptr;
  int n = scandir(dir, &entries, LongerThanFour, alphasort);
  if (n < 0) return -1;
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    names.emplace_back(entries[i]->d_name);
    std::free(entries[i]);
  }
  std::free(entries);
  listing.swap(names);
  return n;
}

const char* GetReplayFile(int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= listing.size()) return nullptr;
  return listing[static_cast<std::size_t>(i)].c_str();
}

int Remove(const char* path) { return path ? unlink(path) : -1; }

}  // namespace event
