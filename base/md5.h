// MD5 (RFC 1321) of a buffer as 32 lowercase hex digits: the frame hashes
// that compare a run's frames with another build's (not for security).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace base {

std::string Md5Hex(const std::uint8_t* data, std::size_t size);

// The MD5 of each of `count` buffers of `size` bytes, into sums[0..count):
// the buffers are hashed side by side, one to a SIMD lane (8 with AVX2, else
// 4), so a batch costs about what one buffer costs alone. Each sum is
// exactly that buffer's MD5.
constexpr int kMd5Size = 16;
void Md5Lanes(const std::uint8_t* const* buffers, int count, std::size_t size,
              std::uint8_t (*sums)[kMd5Size]);

// A sum as 32 lowercase hex digits (no terminator), without allocating.
inline void Md5Digits(const std::uint8_t* sum, char* hex) {
  static const char kDigits[] = "0123456789abcdef";
  for (int i = 0; i < kMd5Size; ++i) {
    hex[2 * i] = kDigits[sum[i] >> 4];
    hex[2 * i + 1] = kDigits[sum[i] & 15];
  }
}

}  // namespace base
