// The native WAV writer, without the decoding libraries, so that the
// browser build has it too.
#include "base/native_wav.h"

#include <cstring>

#include "base/bytes.h"

namespace base {

namespace {

// One forward loop from loop_start to the last sample, for ever: a sampler
// chunk ("smpl") as DecodeSound reads it back.
constexpr std::uint32_t kSamplerChunkBytes = 68;

}  // namespace

std::vector<std::uint8_t> NativeWavHeader(std::uint32_t n, std::uint32_t extra) {
  const std::uint32_t pad = n & 1;  // RIFF chunks keep an even length
  std::vector<std::uint8_t> out;
  out.reserve(44);
  auto text = [&](const char* s) { out.insert(out.end(), s, s + 4); };
  text("RIFF");
  PutLe32(&out, 36 + n + pad + extra);
  text("WAVE");
  text("fmt ");
  PutLe32(&out, 16);
  PutLe16(&out, 1);  // PCM
  PutLe16(&out, 1);  // mono
  PutLe32(&out, kNativeSoundRate);
  PutLe32(&out, kNativeSoundRate);  // bytes per second
  PutLe16(&out, 1);                 // bytes per frame
  PutLe16(&out, 8);
  text("data");
  PutLe32(&out, n);
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
    for (char c : {'s', 'm', 'p', 'l'}) out.push_back(std::uint8_t(c));
    PutLe32(&out, kSamplerChunkBytes - 8);
    // manufacturer, product, sample period (ns), MIDI note, pitch fraction,
    // SMPTE format and offset, one loop, no extra data; then the loop: id,
    // forward, start, end (inclusive), fraction, play count (0: for ever).
    for (std::uint32_t v : {0u, kLoopMark, 1000000000u / kNativeSoundRate, 60u, 0u, 0u, 0u, 1u, 0u, 0u,
                            0u, std::uint32_t(loop_start), n - 1, 0u, 0u})
      PutLe32(&out, v);
  }
  return out;
}

bool ReadPlainNativeWav(const std::uint8_t* data, std::size_t size, std::size_t max_samples,
                        std::vector<std::int8_t>* samples) {
  if (size < 44) return false;
  static const std::vector<std::uint8_t> header = NativeWavHeader(0);
  // The header as written, but for the two lengths (RIFF's, which readers
  // do not hold a file to, and the data's).
  if (std::memcmp(data, header.data(), 4) != 0 || std::memcmp(data + 8, header.data() + 8, 32) != 0)
    return false;
  const std::size_t n = GetLeU32(data + 40);
  if (n == 0 || n > max_samples || n > size - 44) return false;
  // Whatever follows the data must be whole chunks, none of them a sampler.
  for (std::size_t at = 44 + n + (n & 1); at < size;) {
    if (size - at < 8 || std::memcmp(data + at, "smpl", 4) == 0) return false;
    const std::size_t length = GetLeU32(data + at + 4);
    if (length > size - at - 8) return false;
    at += 8 + length + (length & 1);
  }
  samples->resize(n);
  for (std::size_t i = 0; i < n; ++i) (*samples)[i] = std::int8_t(data[44 + i] ^ 0x80);
  return true;
}

bool HasLoopMark(const std::uint8_t* data, std::size_t size) {
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
    return false;
  for (std::size_t at = 12; at + 8 <= size;) {
    const std::uint64_t length = GetLeU32(data + at + 4);
    if (std::memcmp(data + at, "smpl", 4) == 0) return length >= 8 && at + 16 <= size && GetLeU32(data + at + 12) == kLoopMark;
    at += 8 + length + (length & 1);
  }
  return false;
}

}  // namespace base
