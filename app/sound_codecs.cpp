// The engine's sound decoding: libsndfile, libsoxr and libxmp (and the
// codecs libsndfile brings) live in the codec module, loaded the first time
// a sound other than a plain native WAV is decoded, so a run whose sounds
// are all in the mixer's own format never maps them.
// lunashot-pack and the tests link the codec wrappers directly.
#include <string>

#include "app/modules.h"
#include "base/sound_file.h"

namespace base {

bool DecodeSound(const std::uint8_t* data, std::size_t size, std::vector<std::int8_t>* samples,
                 SoundSource* source, std::string* error) {
  // A sound effect as lunashot-pack writes it needs no codec: read here, it
  // gives the codecs' very samples without loading them.
  constexpr std::size_t kMaxNativeSamples = std::size_t{kNativeSoundRate} * kMaxSoundSeconds;
  if (size <= kMaxSoundFileBytes && ReadPlainNativeWav(data, size, kMaxNativeSamples, samples)) {
    *source = SoundSource();
    source->format = "WAV (Microsoft)";
    source->encoding = "Unsigned 8 bit PCM";
    source->rate = kNativeSoundRate;
    source->channels = 1;
    source->frames = static_cast<std::int64_t>(samples->size());
    source->native = true;
    return true;
  }
  using Entry = bool (*)(const std::uint8_t*, std::size_t, std::vector<std::int8_t>*,
                         SoundSource*, std::string*);
  static std::string failure;
  static const auto decode = reinterpret_cast<Entry>(
      app::ModuleEntry("lunashot-codecs.so", "lunashot_decode_sound", &failure));
  if (decode) return decode(data, size, samples, source, error);
  samples->clear();
  *source = SoundSource();
  *error = "the sound codecs cannot be loaded (" + failure + ")";
  return false;
}

}  // namespace base
