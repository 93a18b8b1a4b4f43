// The browser build's stand-ins for the base files that need the desktop's
// libraries (libpng, giflib, libsndfile and soxr are not built for the page):
// pictures and GIFs are not written there, and samples load only in the
// mixer's own format, which `./make.sh web` converts every sound to (a
// tracker module too; its loop point comes along in a sampler chunk).
#include <cstring>
#include <memory>

#include "base/bytes.h"
#include "base/file.h"
#include "base/gif_file.h"
#include "base/png_file.h"
#include "base/sound_file.h"

namespace base {

namespace {
const char kNoLibrary[] = "not available in the browser";
}  // namespace

bool DecodePng(const std::uint8_t*, std::size_t, const char*, PngImage*, std::string* error) {
  *error = kNoLibrary;
  return false;
}

bool EncodePng(const PngImage&, int, std::vector<std::uint8_t>*, std::string* error) {
  *error = kNoLibrary;
  return false;
}

struct GifWriter::State {};
GifWriter::GifWriter() = default;
GifWriter::~GifWriter() = default;
bool GifWriter::Begin(int, int, std::string* error) {
  *error = kNoLibrary;
  return false;
}
bool GifWriter::AddFrame(const std::uint8_t*, const Rgb*, int, std::string* error) {
  *error = kNoLibrary;
  return false;
}
bool GifWriter::Finish(std::vector<std::uint8_t>*, std::string* error) {
  *error = kNoLibrary;
  return false;
}
std::size_t GifWriter::Size() const { return 0; }

// A RIFF WAV of 8-bit PCM, one channel, 11025 Hz: its samples, made signed.
bool DecodeSound(const std::uint8_t* data, std::size_t size, std::vector<std::int8_t>* samples,
                 SoundSource* source, std::string* error) {
  samples->clear();
  *source = SoundSource();
  auto fail = [&] {
    *error = "the page plays only 11025 Hz 8-bit mono WAV (lunashot-pack sound converts)";
    return false;
  };
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
    return fail();
  bool format_ok = false;
  std::int64_t loop = 0;  // a sampler chunk's loop start, kept when it loops to the end
  std::uint32_t loop_end = 0;
  for (std::size_t at = 12; at + 8 <= size;) {
    std::uint32_t length = GetLeU32(data + at + 4);
    const std::uint8_t* body = data + at + 8;
    // A chunk cut short by the file's end holds what there is.
    if (length > size - at - 8) length = static_cast<std::uint32_t>(size - at - 8);
    if (std::memcmp(data + at, "fmt ", 4) == 0 && length >= 16) {
      format_ok = GetLe16(body) == 1 && GetLe16(body + 2) == 1 && GetLe32(body + 4) == 11025 &&
                  GetLe16(body + 14) == 8;
    } else if (std::memcmp(data + at, "smpl", 4) == 0 && length >= 60 && GetLeU32(body + 28) > 0 &&
               GetLeU32(body + 40) == 0) {
      loop = GetLeU32(body + 44);
      loop_end = GetLeU32(body + 48);
    } else if (std::memcmp(data + at, "data", 4) == 0) {
      if (!format_ok) return fail();
      if (length == 0) {
        *error = "it holds no samples";
        return false;
      }
      samples->resize(length);
      for (std::uint32_t i = 0; i < length; ++i)
        (*samples)[i] = static_cast<std::int8_t>(body[i] ^ 0x80);
      source->format = "WAV";
      source->encoding = "Unsigned 8 bit PCM";
      source->rate = kNativeSoundRate;
      source->channels = 1;
      source->frames = length;
      source->native = true;
      // The sampler chunk follows the data in the files the tool writes.
      for (std::size_t next = at + 8 + length + (length & 1); next + 8 <= size;) {
        std::uint32_t n = GetLeU32(data + next + 4);
        if (n > size - next - 8) break;
        if (std::memcmp(data + next, "smpl", 4) == 0 && n >= 60 && GetLeU32(data + next + 36) > 0 &&
            GetLeU32(data + next + 48) == 0) {
          loop = GetLeU32(data + next + 52);
          loop_end = GetLeU32(data + next + 56);
        }
        next += 8 + n + (n & 1);
      }
      if (loop > 0 && loop < std::int64_t(length) && loop_end + 1 >= length) source->loop_start = loop;
      return true;
    }
    at += 8 + length + (length & 1);
  }
  return fail();
}

}  // namespace base
