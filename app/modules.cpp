// Modules are found beside /proc/self/exe and loaded with every symbol
// bound at once, so a missing one is said when loading, not in mid-run.
#include "app/modules.h"

#include <dlfcn.h>
#include <unistd.h>

namespace app {

void* ModuleEntry(const char* file, const char* entry, std::string* error) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self);
  if (n <= 0 || n == static_cast<ssize_t>(sizeof self)) {
    *error = "cannot find the program's own folder";
    return nullptr;
  }
  std::string path(self, static_cast<std::size_t>(n));
  path = path.substr(0, path.rfind('/') + 1) + file;
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  void* found = module ? dlsym(module, entry) : nullptr;
  if (!found) *error = dlerror();
  return found;
}

}  // namespace app
