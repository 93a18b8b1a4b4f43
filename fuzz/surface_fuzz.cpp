// Surface files read back to back through a real stream, and the same bytes
// as a surface-set file loaded from the sprite directory.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/file.h"
#include "base/paths.h"
#include "video/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool ready = [] {
    // A memory file system when there is one: the file is rewritten per input.
    char shm[] = "/dev/shm/lunashot-fuzz-XXXXXX";
    char tmp[] = "/tmp/lunashot-fuzz-XXXXXX";
    char* dir = mkdtemp(shm);
    if (!dir) dir = mkdtemp(tmp);
    if (!dir) std::abort();
    std::snprintf(base::SpriteDir, sizeof base::SpriteDir, "%s/", dir);
    return true;
  }();
  (void)ready;
  std::string error;
  if (std::FILE* f = fmemopen(const_cast<std::uint8_t*>(data), size, "rb")) {
    while (video::Surface* s = video::ReadSurface(f, &error)) video::DestroySurface(s);
    std::fclose(f);
  }
  std::string path = std::string(base::SpriteDir) + "set.bin";
  base::FileError failure;
  if (base::WriteFile(path, data, size, &failure)) {
    if (video::SurfaceSet* set = video::LoadSurfaceSet("set.bin", &error))
      video::DestroySurfaceSet(set);
  }
  return 0;
}
