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

// Writes the whole file; false with errno set on the first failed call.
bool WriteReplay(std::FILE* f, const char* first, const char* second, int life, int score) {
  if (std::fprintf(f, "RunScript('%s')\n", first) < 0) return false;
  if (std::fprintf(f, "RunScript('%s')\n", second) < 0) return false;
  if (std::fprintf(f, "VAR_replay=true\n") < 0) return false;
  if (std::fprintf(f, "VAR_life=%d\n", life) < 0) return false;
  if (std::fprintf(f, "VAR_score=%d\n", score) < 0) return false;
  for (const auto& r : ReplayRecords) {
    // %d of the frame: the value a script passed (numbers are 32-bit signed).
    if (std::fprintf(f, "rep(%d,%d)\n", static_cast<int>(r->time), r->key) < 0) return false;
  }
  return std::fflush(f) == 0 && !std::ferror(f);
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

  // The temporary file lies beside the target (same directory, so the rename
  // is atomic) and has a four-character name, which no listing shows.
  const std::size_t slash = path.rfind('/');
  const std::string temp = path.substr(0, slash + 1) + ".tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wt");
  if (!f)
    base::Fail("SaveReplayFile", "cannot create %s: %s", path.c_str(), std::strerror(errno));
  bool written = WriteReplay(f, first, second, life, score);
  int saved = errno;
  if (std::fclose(f) != 0 && written) {
    written = false;
    saved = errno;
  }
  if (written && std::rename(temp.c_str(), path.c_str()) != 0) {
    written = false;
    saved = errno;
  }
  if (!written) {
    unlink(temp.c_str());
    base::Fail("SaveReplayFile", "cannot write %s: %s", path.c_str(), std::strerror(saved));
  }
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
