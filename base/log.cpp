// log.txt: one line per start-up failure or notice, "%s \n". The file is opened without
// following a symbolic link, so a link planted as script/log.txt cannot
// make the engine append to a file outside the game folder, and without
// waiting, so a FIFO planted there cannot stall it.
#include "base/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>
#include <utility>

#include "base/paths.h"

namespace base {

void WriteLog(const char* message) {
  const char* path = GetScriptPath("log.txt");
  if (!path) return;
  int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return;
  std::FILE* f = fdopen(fd, "a");
  if (!f) {
    close(fd);
    return;
  }
  std::fprintf(f, "%s \n", message ? message : "");
  std::fclose(f);
}

void Tell(const std::string& message) {
  std::fprintf(stderr, "lunashot: %s\n", message.c_str());
  std::fflush(stderr);
  WriteLog(message.c_str());
}

namespace {
bool output_failed = false;
}  // namespace

void OutputFailed(const std::string& message) {
  Tell(message);
  output_failed = true;
}

bool AnyOutputFailed() { return output_failed; }

namespace {
bool notices_on = false;
std::string (*notice_place)() = nullptr;
// (kind, place) of every notice told: each is told once. A script that makes
// places without end (chunks made by loadstring) stops being told at the cap.
std::set<std::pair<std::string, std::string>> told;
constexpr std::size_t kMostNotices = 1000;
}  // namespace

void SetNotices(bool on) { notices_on = on; }
bool NoticesOn() { return notices_on; }
void SetNoticePlace(std::string (*where)()) { notice_place = where; }

void Notice(const std::string& kind, const std::string& text) {
  if (notices_on) NoticeAt(kind, notice_place ? notice_place() : std::string(), text);
}

void NoticeAt(const std::string& kind, const std::string& place, const std::string& text) {
  if (!notices_on || told.size() >= kMostNotices || !told.emplace(kind, place).second) return;
  Tell("notice: " + (place.empty() ? text : place + ": " + text));
}

std::uint32_t NoticeCount() { return static_cast<std::uint32_t>(told.size()); }

void ResetNotices() { told.clear(); }

}  // namespace base
