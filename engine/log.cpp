// log.txt: one line per start-up failure, "%s \n".
#include "engine/log.h"

#include <cstdio>

#include "engine/paths.h"

namespace engine {

void WriteLog(const char* message) {
  const char* path = GetScriptPath("log.txt");
  if (!path) return;
  std::FILE* f = std::fopen(path, "at");
  if (!f) return;
  std::fprintf(f, "%s \n", message ? message : "");
  std::fclose(f);
}

}  // namespace engine
