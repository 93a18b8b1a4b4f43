// A sample file read whole, then decoded by whichever DecodeSound the build
// has (the codec wrappers, the engine's codec module, or the browser's).
#include "base/sound_file.h"

#include "base/file.h"

namespace base {

bool DecodeSoundFile(const std::string& path, std::vector<std::int8_t>* samples,
                     SoundSource* source, std::string* error) {
  samples->clear();
  *source = SoundSource();
  std::vector<std::uint8_t> bytes;
  FileError failure;
  if (!ReadFile(path, kMaxSoundFileBytes, &bytes, &failure)) {
    *error = failure.Text();
    return false;
  }
  return DecodeSound(bytes.data(), bytes.size(), samples, source, error);
}

}  // namespace base
