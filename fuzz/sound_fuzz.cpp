// The sample decoder on arbitrary bytes: whatever a file holds, decoding
// ends with samples within the limits or with an empty result and a reason,
// and a file the engine reads without the codecs gives their samples.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/sound_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::int8_t> samples;
  base::SoundSource source;
  std::string error;
  bool ok = base::DecodeSound(data, size, &samples, &source, &error);
  // What the engine reads without the codecs, they read the same.
  std::vector<std::int8_t> plain;
  if (base::ReadPlainNativeWav(data, size, std::size_t(base::kMaxSoundSeconds) * base::kNativeSoundRate,
                               &plain) &&
      (!ok || plain != samples || source.loop_start != 0))
    std::abort();
  if (ok ? samples.empty() : !samples.empty() || error.empty()) std::abort();
  if (samples.size() > std::size_t(base::kMaxSoundSeconds + 1) * base::kNativeSoundRate)
    std::abort();
  if (!ok) return 0;
  // What the tool writes loads back as the very same samples.
  std::vector<std::uint8_t> wav = base::EncodeNativeWav(samples);
  std::vector<std::int8_t> again;
  if (!base::DecodeSound(wav.data(), wav.size(), &again, &source, &error) || again != samples ||
      !source.native)
    std::abort();
  return 0;
}
