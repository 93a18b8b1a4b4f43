// log.txt: one line per start-up failure, "%s \n". The file is opened without
// following a symbolic link, so a link planted as script/log.txt cannot
// make the engine append to a file outside the game folder, and without
// waiting, so a FIFO planted there cannot stall it.
#include "base/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

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

namespace {
bool output_failed = false;
}  // namespace

void OutputFailed(const std::string& message) {
  std::fprintf(stderr, "lunashot: %s\n", message.c_str());
  WriteLog(message.c_str());
  output_failed = true;
}

bool AnyOutputFailed() { return output_failed; }

}  // namespace base
