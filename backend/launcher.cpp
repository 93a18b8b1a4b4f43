// Leaving to the handheld's launcher: the menu program in its own folder,
// never a program of the same name in the game's folder.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "backend/backends.h"

namespace backend {

void ReturnToLauncher(int status) {
  std::fflush(nullptr);
  if (chdir("/usr/gp2x") == 0) execl("gp2xmenu", "gp2xmenu", static_cast<char*>(nullptr));
  std::exit(status);
}

}  // namespace backend
