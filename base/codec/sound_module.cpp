// The entry of the engine's codec module (lunashot-codecs.so): the sound
// decoding over libsndfile, libsoxr and libxmp, which the program loads the
// first time a sound is decoded (app/sound_codecs.cpp). The module is built
// with hidden visibility, so its own calls stay inside it.
#include "base/sound_file.h"

extern "C" __attribute__((visibility("default"))) bool lunashot_decode_sound(
    const std::uint8_t* data, std::size_t size, std::vector<std::int8_t>* samples,
    base::SoundSource* source, std::string* error) {
  return base::DecodeSound(data, size, samples, source, error);
}
