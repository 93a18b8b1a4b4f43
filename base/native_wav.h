// Samples of the mixer's native format (11025 Hz, signed 8-bit, mono) as a
// WAV file: 8-bit PCM, which WAV stores unsigned.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace base {

constexpr int kNativeSoundRate = 11025;
constexpr std::uint32_t kLoopMark = 0x544C534C;  // "LSLT", little-endian

// True when the RIFF file holds a sampler chunk with kLoopMark (the chunks are
// walked, never trusted past the end).
bool HasLoopMark(const std::uint8_t* data, std::size_t size);

// A loop start other than 0 goes into a sampler chunk after the data, looping
// to the end, which DecodeSound reads back. The chunk's product field carries
// kLoopMark: only such a loop is played as a loop point (a module's music), so
// a WAV with a sampler loop made elsewhere plays whole, as it always has.
std::vector<std::uint8_t> EncodeNativeWav(const std::vector<std::int8_t>& samples,
                                          std::int64_t loop_start = 0);
// The samples of a file in the plain form EncodeNativeWav writes without a
// loop: the 16-byte PCM "fmt " chunk of 11025 Hz 8-bit mono, then a "data"
// chunk of 1 to `max_samples` samples whole within the file, and no sampler
// chunk after it. False, `samples` untouched, for any other file, which the
// decoding libraries read (they give the same samples for these).
bool ReadPlainNativeWav(const std::uint8_t* data, std::size_t size, std::size_t max_samples,
                        std::vector<std::int8_t>* samples);
// The 44 bytes that start such a file of `count` samples (its data follows,
// padded to an even length, then `extra` bytes of further chunks).
std::vector<std::uint8_t> NativeWavHeader(std::uint32_t count, std::uint32_t extra = 0);

}  // namespace base
