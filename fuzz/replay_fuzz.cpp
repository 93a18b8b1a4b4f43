// The replay reader: a shared replay is data, and the reader takes exactly
// what the writer makes, so what it accepts must be written back byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  base::ReplayFile replay;
  std::string error;
  if (!base::ParseReplay(text, &replay, &error)) return 0;
  if (base::ReplayText(replay) != text) {
    std::fprintf(stderr, "accepted a replay that writes back differently\n");
    std::abort();
  }
  return 0;
}
