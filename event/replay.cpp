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
#include "base/memory_budget.h"
#include "base/paths.h"
#include "base/replay_file.h"
#include "script/host.h"

namespace event {

std::vector<ReplayRecord> ReplayRecords;

namespace {

constexpr std::size_t kMaxName = 255;

std::vector<std::string> listing;
std::size_t listing_charged = 0;

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
  if (script_name && !base::ScriptNameStaysInside(name))
    base::Fail("SaveReplayFile", "the %s '%.64s' leaves the script folder", what, name);
}

bool ReadReplay(const char* path, base::ReplayFile* replay, std::string* error) {
  std::vector<std::uint8_t> bytes;
  base::FileError failure;
  if (!base::ReadFile(path, base::kMaxReplayBytes, &bytes, &failure)) {
    if (failure.reason == base::kNotRegularFile)
      *error = std::string(path) + ": not a replay file: not a plain file";
    else if (std::strcmp(failure.step, "too large") == 0)
      *error = std::string(path) + ": not a replay file: it is larger than " +
               std::to_string(base::kMaxReplayBytes >> 20) + " MB";
    else
      *error = std::string("cannot read ") + path + ": " + failure.reason;
    return false;
  }
  std::string why;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!base::ParseReplay(text, replay, &why)) {
    *error = std::string(path) + ": not a replay file: " + why;
    return false;
  }
  return true;
}

int LongerThanFour(const struct dirent* entry) { return std::strlen(entry->d_name) > 4; }

}  // namespace

void SaveReplay(dword frame, std::uint8_t key) {
  if (ReplayRecords.size() == ReplayRecords.capacity()) {
    const std::size_t had = ReplayRecords.capacity();
    // Room for minutes of records at first, doubled when it runs out.
    const std::size_t room = had == 0 ? std::size_t{1} << 14 : 2 * had;
    base::Charge("SaveReplay",
                 (room - had) * sizeof(ReplayRecord) + (had == 0 ? base::kBlockOverhead : 0));
    ReplayRecords.reserve(room);
  }
  ReplayRecords.push_back({frame, key});
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
  base::ReplayFile replay;
  replay.scripts[0] = first;
  replay.scripts[1] = second;
  replay.life = life;
  replay.score = score;
  for (const ReplayRecord& r : ReplayRecords) replay.records.emplace_back(r.frame, r.key);
  const std::string text = base::ReplayText(replay);
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
  base::ReplayFile replay;
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
    // All the records or none: a replay that does not fit queues nothing.
    const std::size_t bytes =
        replay.records.size() * (sizeof(ReplayEvent) + base::kBlockOverhead + kEventSlotBytes);
    if (!base::TryCharge(bytes))
      base::Fail("RunReplay", "not enough memory for the %zu records of %s", replay.records.size(),
                 path.c_str());
    base::Release(bytes);
    // A long load asks after a stop every few thousand records, as Lua's own
    // long loops do (and so gives a browser page its event loop back).
    for (std::size_t i = 0; i < replay.records.size(); ++i) {
      if ((i & 4095) == 4095) lua_checkstop(L);
      rep(replay.records[i].first, replay.records[i].second);
    }
  });
}

int GetReplayFiles() {
  const char* dir = base::GetReplayPath("");
  if (!dir) return -1;
  struct dirent** entries = nullptr;
  int n = scandir(dir, &entries, LongerThanFour, alphasort);
  if (n < 0) return -1;
  std::vector<std::string> names;
  std::size_t bytes = static_cast<std::size_t>(n) * sizeof(std::string) + base::kBlockOverhead;
  names.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    names.emplace_back(entries[i]->d_name);
    bytes += base::HeapBytes(names.back());
    std::free(entries[i]);
  }
  std::free(entries);
  base::Charge("GetReplayFiles", bytes);
  base::Release(listing_charged);
  listing_charged = bytes;
  listing.swap(names);
  return n;
}

const char* GetReplayFile(int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= listing.size()) return nullptr;
  return listing[static_cast<std::size_t>(i)].c_str();
}

int Remove(const char* path) { return path ? unlink(path) : -1; }

}  // namespace event
