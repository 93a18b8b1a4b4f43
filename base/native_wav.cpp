// The native WAV writer, without the decoding libraries, so that the
// browser build has it too.
#include "base/native_wav.h"

#include <cstring>

namespace base {

namespace {

// One forward loop from loop_start to the last sample, for ever: a sampler
// chunk ("smpl") as DecodeSound reads it back.
constexpr std::uint32_t kSamplerChunkBytes = 68;

}  // namespace

std::vector<std::uint8_t> NativeWavHeader(std::uint32_t n, std::uint32_t extra) {
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
  put(36 + n + pad + extra, 4);
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

std::vector<std::uint8_t> EncodeNativeWav(const std::vector<std::int8_t>& samples,
                                          std::int64_t loop_start) {
  const std::uint32_t n = static_cast<std::uint32_t>(samples.size());
  const bool looped = loop_start > 0 && loop_start < std::int64_t(n);
  std::vector<std::uint8_t> out = NativeWavHeader(n, looped ? kSamplerChunkBytes : 0);
  for (std::int8_t s : samples) out.push_back(std::uint8_t(s) ^ 0x80);  // stored unsigned
  if (n % 2) out.push_back(0x80);
  if (looped) {
    auto put = [&](std::uint32_t v) {
      for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
    };
    for (char c : {'s', 'm', 'p', 'l'}) out.push_back(std::uint8_t(c));
    put(kSamplerChunkBytes - 8);
    // manufacturer, product, sample period (ns), MIDI note, pitch fraction,
    // SMPTE format and offset, one loop, no extra data; then the loop: id,
    // forward, start, end (inclusive), fraction, play count (0: for ever).
    for (std::uint32_t v : {0u, kLoopMark, 1000000000u / kNativeSoundRate, 60u, 0u, 0u, 0u, 1u, 0u, 0u,
                            0u, std::uint32_t(loop_start), n - 1, 0u, 0u})
      put(v);
  }
  return out;
}

bool ReadPlainNativeWav(const std::uint8_t* data, std::size_t size, std::size_t max_samples,
                        std::vector<std::int8_t>* samples) {
  if (size < 44) return false;
  const std::vector<std::uint8_t> header = NativeWavHeader(0);
  // The header as written, but for the two lengths (RIFF's, which readers
  // do not hold a file to, and the data's).
  if (std::memcmp(data, header.data(), 4) != 0 || std::memcmp(data + 8, header.data() + 8, 32) != 0)
    return false;
  const std::size_t n = std::size_t(data[40]) | std::size_t(data[41]) << 8 |
                        std::size_t(data[42]) << 16 | std::size_t(data[43]) << 24;
  if (n == 0 || n > max_samples || n > size - 44) return false;
  // Whatever follows the data must be whole chunks, none of them a sampler.
  for (std::size_t at = 44 + n + (n & 1); at < size;) {
    if (size - at < 8 || std::memcmp(data + at, "smpl", 4) == 0) return false;
    const std::size_t length = std::size_t(data[at + 4]) | std::size_t(data[at + 5]) << 8 |
                               std::size_t(data[at + 6]) << 16 | std::size_t(data[at + 7]) << 24;
    if (length > size - at - 8) return false;
    at += 8 + length + (length & 1);
  }
  samples->resize(n);
  for (std::size_t i = 0; i < n; ++i) (*samples)[i] = std::int8_t(data[44 + i] ^ 0x80);
  return true;
}

bool HasLoopMark(const std::uint8_t* data, std::size_t size) {
  auto word = [&](std::size_t at) {
    return std::uint32_t(data[at]) | std::uint32_t(data[at + 1]) << 8 |
           std::uint32_t(data[at + 2]) << 16 | std::uint32_t(data[at + 3]) << 24;
  };
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
    return false;
  for (std::size_t at = 12; at + 8 <= size;) {
    const std::uint64_t length = word(at + 4);
    if (std::memcmp(data + at, "smpl", 4) == 0) return length >= 8 && at + 16 <= size && word(at + 12) == kLoopMark;
    at += 8 + length + (length & 1);
  }
  return false;
}

}  // namespace base
