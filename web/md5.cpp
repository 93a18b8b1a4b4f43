// MD5 as RFC 1321 gives it, the whole buffer in one call: the browser
// build's own (the desktop one is nettle's, base/codec/md5.cpp). A batch is
// hashed buffer by buffer here (the desktop hashes it in SIMD lanes).
#include "base/md5.h"

#include <array>
#include <cstring>

namespace base {

namespace {

class Md5 {
 public:
  std::array<std::uint8_t, 16> Sum(const std::uint8_t* data, std::size_t size) {
    std::uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    std::size_t whole = size / 64 * 64;
    for (std::size_t at = 0; at < whole; at += 64) Block(h, data + at);
    std::uint8_t tail[128] = {};
    std::size_t rest = size - whole;
    std::memcpy(tail, data + whole, rest);
    tail[rest] = 0x80;
    std::size_t tail_size = rest + 9 <= 64 ? 64 : 128;
    std::uint64_t bits = static_cast<std::uint64_t>(size) * 8;
    for (int i = 0; i < 8; ++i)
      tail[tail_size - 8 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    for (std::size_t at = 0; at < tail_size; at += 64) Block(h, tail + at);
    std::array<std::uint8_t, 16> out;
    for (int i = 0; i < 16; ++i) out[i] = static_cast<std::uint8_t>(h[i / 4] >> (8 * (i % 4)));
    return out;
  }

 private:
  static std::uint32_t Rotl(std::uint32_t x, int c) { return (x << c) | (x >> (32 - c)); }

  static void Block(std::uint32_t h[4], const std::uint8_t* p) {
    static const std::uint32_t kK[64] = {
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
    static const int kShift[4][4] = {
        {7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i)
      m[i] = p[4 * i] | (p[4 * i + 1] << 8) | (p[4 * i + 2] << 16) |
             (static_cast<std::uint32_t>(p[4 * i + 3]) << 24);
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
    for (int i = 0; i < 64; ++i) {
      std::uint32_t f;
      int g;
      if (i < 16) {
        f = (b & c) | (~b & d);
        g = i;
      } else if (i < 32) {
        f = (d & b) | (~d & c);
        g = (5 * i + 1) % 16;
      } else if (i < 48) {
        f = b ^ c ^ d;
        g = (3 * i + 5) % 16;
      } else {
        f = c ^ (b | ~d);
        g = (7 * i) % 16;
      }
      std::uint32_t t = d;
      d = c;
      c = b;
      b = b + Rotl(a + f + kK[i] + m[g], kShift[i / 16][i % 4]);
      a = t;
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
  }
};

}  // namespace

std::string Md5Hex(const std::uint8_t* data, std::size_t size) {
  std::array<std::uint8_t, kMd5Size> sum = Md5().Sum(data, size);
  char hex[2 * kMd5Size];
  Md5Digits(sum.data(), hex);
  return std::string(hex, sizeof hex);
}

void Md5Lanes(const std::uint8_t* const* buffers, int count, std::size_t size,
              std::uint8_t (*sums)[kMd5Size]) {
  for (int i = 0; i < count; ++i) {
    std::array<std::uint8_t, kMd5Size> sum = Md5().Sum(buffers[i], size);
    std::memcpy(sums[i], sum.data(), sum.size());
  }
}

}  // namespace base
