// Sample files and tracker modules (base/module_file.h) into the mixer's
// native format (11025 Hz, signed 8-bit, mono; native_wav.h writes it back
// out). Input is untrusted: every limit below is checked on the file's header
// before anything is sized from it, and a file that fails gives no samples
// and a reason. The conversion is deterministic: the same file always gives
// the same bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/native_wav.h"

namespace base {

// Limits on what a sample file may hold.
constexpr std::size_t kMaxSoundFileBytes = 128u << 20;
constexpr int kMaxSoundSeconds = 600;
constexpr int kMaxSoundChannels = 16;
constexpr int kMinSoundRate = 1000;
constexpr int kMaxSoundRate = 384000;
// Samples of all channels together: bounds the work a small compressed file
// can ask for (ten minutes of 96 kHz stereo fit).
constexpr std::int64_t kMaxSoundInputSamples = 120000000;

// What the file held, as far as its header tells.
struct SoundSource {
  std::string format;    // "WAV (Microsoft)", "AIFF (Apple/SGI)", ...
  std::string encoding;  // "Signed 16 bit PCM", "Vorbis", ...
  int rate = 0;
  int channels = 0;
  std::int64_t frames = 0;
  bool native = false;  // already 11025 Hz 8-bit mono: copied, not converted
  // The sample a looped play starts again from (a module's loop point, or a
  // WAV sampler loop that runs to the end); 0 for the start.
  std::int64_t loop_start = 0;
  double Seconds() const { return rate > 0 ? double(frames) / rate : 0.0; }
};

// Decodes a whole file held in memory. On failure: false, `samples` empty,
// `error` says why (the format or encoding that cannot be read, or the limit
// that was passed). `source` is filled as far as the header was read.
bool DecodeSound(const std::uint8_t* data, std::size_t size, std::vector<std::int8_t>* samples,
                 SoundSource* source, std::string* error);
// The same for a file; a missing or unreadable file is a failure too.
bool DecodeSoundFile(const std::string& path, std::vector<std::int8_t>* samples,
                     SoundSource* source, std::string* error);

}  // namespace base
