// The native WAV writer, without the decoding libraries, so that the
// browser build has it too.
#include "base/native_wav.h"

namespace base {

std::vector<std::uint8_t> NativeWavHeader(std::uint32_t n) {
  const std::uint32_t pad = n & 1;  // RIFF chunks keep an even length
  std::vector<std::uint8_t> out(44);
  std::size_t at = 0;
  auto text = [&](const char* s) {
    for (int i = 0; i < 4; ++i) out[at++] = std::uint8_t(s[i]);
  };
  auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at++] = std::uint8_t(v >> (8 * i));
  };
  text("RIFF");
  put(36 + n + pad, 4);
  text("WAVE");
  text("fmt ");
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(kNativeSoundRate, 4);
  put(kNativeSoundRate, 4);  // bytes per second
  put(1, 2);                 // bytes per frame
  put(8, 2);
  text("data");
  put(n, 4);
  return out;
}

std::vector<std::uint8_t> EncodeNativeWav(const std::vector<std::int8_t>& samples) {
  std::vector<std::uint8_t> out = NativeWavHeader(static_cast<std::uint32_t>(samples.size()));
  for (std::int8_t s : samples) out.push_back(std::uint8_t(s) ^ 0x80);  // stored unsigned
  if (samples.size() % 2) out.push_back(0x80);
  return out;
}

}  // namespace base
