// Replay records, the replay file writer and the directory listing.
#include "event/replay.h"

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/file.h"
#include "base/paths.h"

namespace event {

std::list<std::unique_ptr<ReplayEvent>> ReplayRecords;

namespace {

constexpr std::size_t kMaxName = 255;

std::vector<std::string> listing;

// Each name goes between single quotes in a script line, or into the file
// name: refuse what would end the quote, escape, or start a new line.
void CheckName(const char* what, const char* name) {
  if (!name) base::Fail("SaveReplayFile", "the %s is nil", what);
  for (const char* c = name; *c; ++c) {
    if (*c == '\'' || *c == '\\' || *c == '\n' || *c == '\r')
      base::Fail("SaveReplayFile", "the %s '%.64s' holds a quote, backslash or line break",
                   what, name);
  }
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
  CheckName("prefix", prefix);
  CheckName("first script name", first);
  CheckName("second script name", second);
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
