// Tracker modules on arbitrary bytes behind a module's mark: libxmp loads
// and plays them (capped at a minute here, so each run stays short) into
// samples, or gives a reason; the loop point lies within what was played.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/module_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::int64_t made = 0;
  base::ModulePlay play;
  std::string error;
  bool ok = base::PlayModule(
      data, size, std::int64_t(base::kModuleRate) * 60,
      [&](const float* m, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
          if (!(m[i] >= -1.0f && m[i] <= 1.0f)) std::abort();
        made += std::int64_t(n);
        return true;
      },
      &play, &error);
  if (ok ? made != play.frames || play.loop_frame < 0 || play.loop_frame > play.frames
         : error.empty())
    std::abort();
  return 0;
}
