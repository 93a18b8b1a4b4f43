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

// The additive constants of MD5's 64 steps (RFC 1321's table T), in step
// order, for both of its forms here.
inline constexpr std::uint32_t kMd5Steps[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613,
    0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193,
    0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d,
    0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
    0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122,
    0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa,
    0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244,
    0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb,
    0xeb86d391};

// A sum as 32 lowercase hex digits (no terminator), without allocating.
inline void Md5Digits(const std::uint8_t* sum, char* hex) {
  static const char kDigits[] = "0123456789abcdef";
  for (int i = 0; i < kMd5Size; ++i) {
    hex[2 * i] = kDigits[sum[i] >> 4];
    hex[2 * i + 1] = kDigits[sum[i] & 15];
  }
}

}  // namespace base
