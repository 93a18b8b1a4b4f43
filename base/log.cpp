// log.txt: one line per start-up failure, "%s \n".
#include "base/log.h"

#include <cstdio>

#include "base/paths.h"

namespace base {

void WriteLog(const char* message) {
  const char* path = GetScriptPath("log.txt");
  if (!path) return;
  std::FILE* f = std::fopen(path, "at");
  if (!f) return;
  std::fprintf(f, "%s \n", message ? message : "");
  std::fclose(f);
}

}  // namespace base
