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
      b = b + Rotl(a + f + kMd5Steps[i] + m[g], kShift[i / 16][i % 4]);
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
