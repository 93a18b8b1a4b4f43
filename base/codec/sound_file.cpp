// Sample decoding with libsndfile (made for untrusted files of many formats)
// and resampling with libsoxr. The mix to mono is done in float, the 8-bit
// reduction with triangular dither from a fixed seed, so a file converts to
// the same bytes on every load.
#include "base/sound_file.h"

#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/file.h"
#include "base/module_file.h"
#include "base/native_wav.h"

namespace base {

namespace {

// libsndfile reads the file through these, from memory.
struct MemoryFile {
  const std::uint8_t* data;
  sf_count_t size;
  sf_count_t pos;
};

sf_count_t MemLength(void* user) { return static_cast<MemoryFile*>(user)->size; }

sf_count_t MemSeek(sf_count_t offset, int whence, void* user) {
  MemoryFile* m = static_cast<MemoryFile*>(user);
  sf_count_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->size : 0;
  // Offsets come from the file's header: keep the sum from overflowing.
  if (offset < -base || offset > m->size - base) return -1;
  m->pos = base + offset;
  return m->pos;
}

sf_count_t MemRead(void* ptr, sf_count_t count, void* user) {
  MemoryFile* m = static_cast<MemoryFile*>(user);
  if (count <= 0 || m->pos >= m->size) return 0;
  sf_count_t n = std::min(count, m->size - m->pos);
  std::memcpy(ptr, m->data + m->pos, static_cast<std::size_t>(n));
  m->pos += n;
  return n;
}

sf_count_t MemWrite(const void*, sf_count_t, void*) { return 0; }
sf_count_t MemTell(void* user) { return static_cast<MemoryFile*>(user)->pos; }

std::string FormatName(int format) {
  SF_FORMAT_INFO info{};
  info.format = format;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name)
    return "format 0x" + [&] {
      char hex[16];
      std::snprintf(hex, sizeof hex, "%x", unsigned(format));
      return std::string(hex);
    }();
  return info.name;
}

struct SndfileCloser {
  void operator()(SNDFILE* f) const { sf_close(f); }
};
struct SoxrDeleter {
  void operator()(soxr* s) const { soxr_delete(s); }
};

// Triangular (TPDF) dither and rounding to signed 8 bits. The generator is
// reseeded for every file, which makes conversions reproducible.
class Quantizer {
 public:
  void Append(const float* in, std::size_t n, std::vector<std::int8_t>* out) {
    for (std::size_t i = 0; i < n; ++i) {
      float x = in[i];
      // Digital silence stays silent instead of turning into dither hiss.
      if (x == 0.0f) {
        out->push_back(0);
        continue;
      }
      float v = x * 128.0f + (Uniform() - Uniform());
      v = std::floor(v + 0.5f);
      out->push_back(static_cast<std::int8_t>(std::clamp(v, -128.0f, 127.0f)));
    }
  }

 private:
  float Uniform() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return float(state_ >> 8) * (1.0f / 16777216.0f);
  }
  std::uint32_t state_ = 0x9E3779B9u;
};

soxr_io_spec_t FloatSpec() { return soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I); }

// Mono float samples at any rate into native ones: resampled (when the rate
// is another) and quantized as they come.
class NativeConverter {
 public:
  NativeConverter(int rate, std::vector<std::int8_t>* samples) : samples_(samples) {
    if (rate == kNativeSoundRate) return;
    soxr_error_t e = nullptr;
    soxr_io_spec_t io_spec = FloatSpec();
    soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    resampler_.reset(soxr_create(rate, kNativeSoundRate, 1, &e, &io_spec, &quality, nullptr));
    if (!resampler_ || e) error_ = std::string("resampler: ") + (e ? e : "?");
  }
  // Empty, or why the resampler cannot be made.
  const std::string& error() const { return error_; }

  // Feeds mono samples (nullptr: the end) through the resampler.
  bool Add(const float* m, std::size_t n) {
    if (!resampler_) {
      quantizer_.Append(m, n, samples_);
      return true;
    }
    for (;;) {
      std::size_t used = 0, made = 0;
      if (soxr_process(resampler_.get(), m, n, m ? &used : nullptr, out_.data(), out_.size(),
                       &made))
        return false;
      quantizer_.Append(out_.data(), made, samples_);
      if (m) {
        m += used;
        n -= used;
        if (n == 0) return true;
        if (used == 0 && made == 0) return false;
      } else if (made == 0) {
        return true;
      }
    }
  }
  bool Finish() { return !resampler_ || Add(nullptr, 0); }

 private:
  std::vector<std::int8_t>* samples_;
  std::unique_ptr<soxr, SoxrDeleter> resampler_;
  Quantizer quantizer_;
  std::vector<float> out_ = std::vector<float>(16384);
  std::string error_;
};

bool Fail(std::vector<std::int8_t>* samples, std::string* error, const std::string& why) {
  samples->clear();
  *error = why;
  return false;
}

// Header checks, before anything is sized from the header.
bool CheckSource(const SoundSource& s, std::string* error) {
  if (s.channels < 1 || s.channels > kMaxSoundChannels) {
    *error = "it claims " + std::to_string(s.channels) + " channels (1 to " +
             std::to_string(kMaxSoundChannels) + " can be used)";
    return false;
  }
  if (s.rate < kMinSoundRate || s.rate > kMaxSoundRate) {
    *error = "it claims " + std::to_string(s.rate) + " samples per second (" +
             std::to_string(kMinSoundRate) + " to " + std::to_string(kMaxSoundRate) +
             " can be used)";
    return false;
  }
  if (s.frames > std::int64_t(s.rate) * kMaxSoundSeconds) {
    *error = "it lasts " + std::to_string(s.frames / s.rate) + " seconds, longer than " +
             std::to_string(kMaxSoundSeconds);
    return false;
  }
  if (s.frames * s.channels > kMaxSoundInputSamples) {
    *error = "it holds " + std::to_string(s.frames * s.channels) + " samples, more than " +
             std::to_string(kMaxSoundInputSamples);
    return false;
  }
  return true;
}

// A module is played once, at its own rate, into the converter; its loop
// point is scaled to the native rate as the resampler keeps time.
bool DecodeModule(const std::uint8_t* data, std::size_t size, std::vector<std::int8_t>* samples,
                  SoundSource* source, std::string* error) {
  NativeConverter converter(kModuleRate, samples);
  if (!converter.error().empty()) return Fail(samples, error, converter.error());
  samples->reserve(std::size_t(kNativeSoundRate) * 60);
  bool resampled = true;
  ModulePlay play;
  bool ok = PlayModule(
      data, size, std::int64_t(kModuleRate) * kMaxSoundSeconds,
      [&](const float* m, std::size_t n) { return resampled = converter.Add(m, n); }, &play, error);
  source->format = "Tracker module (" + std::string(ModuleKind(data, size)) +
                   (play.type.empty() ? "" : ", " + play.type) + ")";
  source->encoding = std::to_string(play.channels) + " channels played by libxmp";
  source->rate = kModuleRate;
  source->channels = 1;
  source->frames = play.frames;
  if (!resampled || (ok && !converter.Finish()))
    return Fail(samples, error, "the resampler stopped");
  if (!ok) return Fail(samples, error, *error);
  if (samples->empty()) return Fail(samples, error, "it holds no samples");
  source->loop_start = std::min<std::int64_t>(play.loop_frame * kNativeSoundRate / kModuleRate,
                                              std::int64_t(samples->size()) - 1);
  return true;
}

}  // namespace

bool DecodeSound(const std::uint8_t* data, std::size_t size, std::vector<std::int8_t>* samples,
                 SoundSource* source, std::string* error) {
  samples->clear();
  *source = SoundSource();
  if (size > kMaxSoundFileBytes)
    return Fail(samples, error,
                "the file has " + std::to_string(size) + " bytes, more than " +
                    std::to_string(kMaxSoundFileBytes >> 20) + " MB");
  if (ModuleKind(data, size)) return DecodeModule(data, size, samples, source, error);
  // libsndfile reads no WavPack; say so rather than "unknown format".
  if (size >= 4 && std::memcmp(data, "wvpk", 4) == 0)
    return Fail(samples, error, "a WavPack file: WavPack cannot be read; convert it to FLAC or WAV");
  MemoryFile mem{data, sf_count_t(size), 0};
  SF_VIRTUAL_IO io{MemLength, MemSeek, MemRead, MemWrite, MemTell};
  SF_INFO info{};
  std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open_virtual(&io, SFM_READ, &info, &mem));
  if (!file) {
    std::string why = sf_strerror(nullptr);
    while (!why.empty() && (why.back() == '.' || why.back() == '\n')) why.pop_back();
    return Fail(samples, error, "not a sound file that can be decoded (" + why + ")");
  }
  source->format = FormatName(info.format & SF_FORMAT_TYPEMASK);
  source->encoding = FormatName(info.format & SF_FORMAT_SUBMASK);
  source->rate = info.samplerate;
  source->channels = info.channels;
  // Streams of unknown length say SF_COUNT_MAX; the read loop caps them.
  source->frames = info.frames == SF_COUNT_MAX || info.frames < 0 ? 0 : info.frames;
  if (!CheckSource(*source, error)) return Fail(samples, error, *error);
  const int sub = info.format & SF_FORMAT_SUBMASK;
  source->native = info.samplerate == kNativeSoundRate && info.channels == 1 &&
                   (sub == SF_FORMAT_PCM_U8 || sub == SF_FORMAT_PCM_S8);

  const std::int64_t max_frames = std::min<std::int64_t>(
      std::int64_t(info.samplerate) * kMaxSoundSeconds, kMaxSoundInputSamples / info.channels);
  const std::int64_t expected_out =
      std::min<std::int64_t>(source->frames, max_frames) * kNativeSoundRate / info.samplerate + 64;
  samples->reserve(static_cast<std::size_t>(expected_out));
  constexpr sf_count_t kBlock = 4096;
  std::int64_t total = 0;
  auto too_long = [&] {
    return Fail(samples, error,
                "it lasts longer than " + std::to_string(kMaxSoundSeconds) +
                    " seconds or holds more than " + std::to_string(kMaxSoundInputSamples) +
                    " samples");
  };

  if (source->native) {
    // 8-bit samples come back from libsndfile as value << 8: exact.
    std::vector<short> block(kBlock);
    for (sf_count_t got; (got = sf_read_short(file.get(), block.data(), kBlock)) > 0;) {
      if ((total += got) > max_frames) return too_long();
      for (sf_count_t i = 0; i < got; ++i) samples->push_back(std::int8_t(block[i] >> 8));
    }
  } else {
    NativeConverter converter(info.samplerate, samples);
    if (!converter.error().empty()) return Fail(samples, error, converter.error());
    std::vector<float> in(std::size_t(kBlock) * info.channels);
    std::vector<float> mono(kBlock);
    const float scale = 1.0f / float(info.channels);
    for (sf_count_t got; (got = sf_readf_float(file.get(), in.data(), kBlock)) > 0;) {
      if ((total += got) > max_frames) return too_long();
      for (sf_count_t f = 0; f < got; ++f) {
        float sum = 0.0f;
        for (int c = 0; c < info.channels; ++c) {
          float v = in[std::size_t(f) * info.channels + c];
          // Float files may hold anything, NaN included.
          sum += std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f;
        }
        mono[f] = sum * scale;
      }
      if (!converter.Add(mono.data(), std::size_t(got)))
        return Fail(samples, error, "the resampler stopped");
    }
    if (!converter.Finish()) return Fail(samples, error, "the resampler stopped");
  }
  source->frames = total;
  // A sampler loop that runs to the end is the sound's loop, when lunashot-pack
  // wrote it for a module's music; one that ends before (a sustain loop with a
  // release after it) cannot be, and a WAV made elsewhere plays whole, as it
  // always has.
  SF_INSTRUMENT instrument{};
  if (HasLoopMark(data, size) && sf_command(file.get(), SFC_GET_INSTRUMENT, &instrument, sizeof instrument) == SF_TRUE &&
      instrument.loop_count > 0 && instrument.loops[0].mode != SF_LOOP_NONE &&
      std::int64_t(instrument.loops[0].end) + 1 >= total &&
      std::int64_t(instrument.loops[0].start) < total &&
      !samples->empty())
    source->loop_start = std::min<std::int64_t>(
        std::int64_t(instrument.loops[0].start) * kNativeSoundRate / info.samplerate,
        std::int64_t(samples->size()) - 1);
  if (samples->empty()) {
    std::string why = sf_error(file.get()) ? std::string(" (") + sf_strerror(file.get()) + ")" : "";
    return Fail(samples, error, "it holds no samples" + why);
  }
  return true;
}

}  // namespace base
