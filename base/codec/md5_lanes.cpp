// MD5 of several buffers of one length at once, one buffer to each lane of a
// SIMD register. It exists for --frame-hashes: one MD5 stream is a chain of
// dependent additions and rotations (about 0.33 ms for a 230 KB frame even
// in assembly), while lanes hash 4 frames (SSE2, any x86-64) or 8 (AVX2,
// chosen at run time) in about the time of one. Every lane does exactly
// RFC 1321's steps on its own buffer, so each sum is that buffer's MD5.
// Written with the compiler's generic vectors: the same code is the 4- and
// the 8-lane form, and plain code where there is no SIMD.
#include <cstring>

#include "base/md5.h"

namespace base {

namespace {

template <int N>
struct Lanes {
  typedef std::uint32_t V __attribute__((vector_size(4 * N)));
};

// MD5 reads its words little-endian, as these machines store them.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "MD5 lanes load words as stored");

// Words [w, w + N) of each lane's block, lane l's at p[l] + at, turned into
// m[w..w + N): word w of every lane in one vector. A transpose of N rows of
// N words by shuffles (unpacks and a swap of halves on x86), rather than
// word by word.
template <int N>
inline __attribute__((always_inline)) void LoadWords(typename Lanes<N>::V* m,
                                                     const std::uint8_t* const* p,
                                                     std::size_t at) {
  typedef typename Lanes<N>::V V;
  V r[N];
  for (int l = 0; l < N; ++l) std::memcpy(&r[l], p[l] + at, sizeof(V));
  if constexpr (N == 4) {
    const V t0 = __builtin_shufflevector(r[0], r[1], 0, 4, 1, 5),
            t1 = __builtin_shufflevector(r[0], r[1], 2, 6, 3, 7),
            t2 = __builtin_shufflevector(r[2], r[3], 0, 4, 1, 5),
            t3 = __builtin_shufflevector(r[2], r[3], 2, 6, 3, 7);
    m[0] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
    m[1] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
    m[2] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
    m[3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
  } else {
    static_assert(N == 8, "4 or 8 lanes");
    // Pairs of lanes interleaved, then quads, each within a half of the
    // register; then the halves exchanged.
    V a[8], b[8];
    for (int i = 0; i < 8; i += 2) {
      a[i] = __builtin_shufflevector(r[i], r[i + 1], 0, 8, 1, 9, 4, 12, 5, 13);
      a[i + 1] = __builtin_shufflevector(r[i], r[i + 1], 2, 10, 3, 11, 6, 14, 7, 15);
    }
    for (int i = 0; i < 8; i += 4) {
      b[i] = __builtin_shufflevector(a[i], a[i + 2], 0, 1, 8, 9, 4, 5, 12, 13);
      b[i + 1] = __builtin_shufflevector(a[i], a[i + 2], 2, 3, 10, 11, 6, 7, 14, 15);
      b[i + 2] = __builtin_shufflevector(a[i + 1], a[i + 3], 0, 1, 8, 9, 4, 5, 12, 13);
      b[i + 3] = __builtin_shufflevector(a[i + 1], a[i + 3], 2, 3, 10, 11, 6, 7, 14, 15);
    }
    for (int w = 0; w < 4; ++w) {
      m[w] = __builtin_shufflevector(b[w], b[w + 4], 0, 1, 2, 3, 8, 9, 10, 11);
      m[w + 4] = __builtin_shufflevector(b[w], b[w + 4], 4, 5, 6, 7, 12, 13, 14, 15);
    }
  }
}

// One 64-byte block of each lane, lane l's at p[l] + at, into the state h.
// Always inlined, so that it is compiled for the caller's instruction set:
// the 8-lane caller is built for AVX2, the template itself for the baseline.
// A step is a = b + rotl(a + f(b, c, d) + word + k, s); what does not wait
// for b, the step before's result, is added first (for G, its half without
// b: the halves share no bit, so | is +), leaving each step's chain short.
#define MD5_STEP(f, a, b, c, d, word, i, s)           \
  a += m[word] + kMd5Steps[i] + f##_EARLY(b, c, d);   \
  MD5_SETTLED(a);                                     \
  a += f##_LATE(b, c, d);                             \
  a = ((a << (s)) | (a >> (32 - (s)))) + b;
// GCC would otherwise regroup the sum and add a constant after f, one
// more instruction on every step's chain (14% of the time here).
#if defined(__SSE2__) && !defined(__clang__)
#define MD5_SETTLED(v) __asm__("" : "+x"(v))
#else
#define MD5_SETTLED(v)
#endif
#define MD5_F_EARLY(b, c, d) 0
#define MD5_F_LATE(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define MD5_G_EARLY(b, c, d) ((c) & ~(d))
#define MD5_G_LATE(b, c, d) ((b) & (d))
#define MD5_H_EARLY(b, c, d) 0
#define MD5_H_LATE(b, c, d) ((b) ^ ((c) ^ (d)))
#define MD5_I_EARLY(b, c, d) 0
#define MD5_I_LATE(b, c, d) ((c) ^ ((b) | ~(d)))

template <int N>
inline __attribute__((always_inline)) void Block(typename Lanes<N>::V* h,
                                                 const std::uint8_t* const* p, std::size_t at) {
  typedef typename Lanes<N>::V V;
  V m[16];
  for (int w = 0; w < 16; w += N) LoadWords<N>(m + w, p, at + 4 * w);
  V a = h[0], b = h[1], c = h[2], d = h[3];
  for (int i = 0; i < 16; i += 4) {
    MD5_STEP(MD5_F, a, b, c, d, i, i, 7)
    MD5_STEP(MD5_F, d, a, b, c, i + 1, i + 1, 12)
    MD5_STEP(MD5_F, c, d, a, b, i + 2, i + 2, 17)
    MD5_STEP(MD5_F, b, c, d, a, i + 3, i + 3, 22)
  }
  for (int i = 16; i < 32; i += 4) {
    MD5_STEP(MD5_G, a, b, c, d, (5 * i + 1) & 15, i, 5)
    MD5_STEP(MD5_G, d, a, b, c, (5 * i + 6) & 15, i + 1, 9)
    MD5_STEP(MD5_G, c, d, a, b, (5 * i + 11) & 15, i + 2, 14)
    MD5_STEP(MD5_G, b, c, d, a, (5 * i + 16) & 15, i + 3, 20)
  }
  for (int i = 32; i < 48; i += 4) {
    MD5_STEP(MD5_H, a, b, c, d, (3 * i + 5) & 15, i, 4)
    MD5_STEP(MD5_H, d, a, b, c, (3 * i + 8) & 15, i + 1, 11)
    MD5_STEP(MD5_H, c, d, a, b, (3 * i + 11) & 15, i + 2, 16)
    MD5_STEP(MD5_H, b, c, d, a, (3 * i + 14) & 15, i + 3, 23)
  }
  for (int i = 48; i < 64; i += 4) {
    MD5_STEP(MD5_I, a, b, c, d, (7 * i) & 15, i, 6)
    MD5_STEP(MD5_I, d, a, b, c, (7 * i + 7) & 15, i + 1, 10)
    MD5_STEP(MD5_I, c, d, a, b, (7 * i + 14) & 15, i + 2, 15)
    MD5_STEP(MD5_I, b, c, d, a, (7 * i + 21) & 15, i + 3, 21)
  }
  h[0] += a, h[1] += b, h[2] += c, h[3] += d;
}

#undef MD5_STEP
#undef MD5_SETTLED
#undef MD5_F_EARLY
#undef MD5_F_LATE
#undef MD5_G_EARLY
#undef MD5_G_LATE
#undef MD5_H_EARLY
#undef MD5_H_LATE
#undef MD5_I_EARLY
#undef MD5_I_LATE

// The sums of exactly N buffers.
template <int N>
inline __attribute__((always_inline)) void Hash(const std::uint8_t* const* buffers,
                                                std::size_t size,
                                                std::uint8_t (*sums)[kMd5Size]) {
  typedef typename Lanes<N>::V V;
  V h[4];
  const std::uint32_t kStart[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
  for (int i = 0; i < 4; ++i) h[i] = V{} + kStart[i];
  const std::size_t whole = size / 64 * 64;
  for (std::size_t at = 0; at < whole; at += 64) Block<N>(h, buffers, at);
  // The rest of each buffer, the 0x80 byte, zeros, and the length in bits:
  // one block, or two when fewer than 9 bytes are left for them.
  std::uint8_t tails[N][128] = {};
  const std::uint8_t* tail[N];
  const std::size_t rest = size - whole, tail_size = rest + 9 <= 64 ? 64 : 128;
  const std::uint64_t bits = static_cast<std::uint64_t>(size) * 8;
  for (int l = 0; l < N; ++l) {
    if (rest) std::memcpy(tails[l], buffers[l] + whole, rest);
    tails[l][rest] = 0x80;
    for (int i = 0; i < 8; ++i)
      tails[l][tail_size - 8 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    tail[l] = tails[l];
  }
  for (std::size_t at = 0; at < tail_size; at += 64) Block<N>(h, tail, at);
  std::uint32_t words[4][N];
  std::memcpy(words, h, sizeof words);
  for (int l = 0; l < N; ++l)
    for (int i = 0; i < kMd5Size; ++i)
      sums[l][i] = static_cast<std::uint8_t>(words[i / 4][l] >> (8 * (i % 4)));
}

void Hash4(const std::uint8_t* const* buffers, std::size_t size, std::uint8_t (*sums)[kMd5Size]) {
  Hash<4>(buffers, size, sums);
}

#if defined(__x86_64__) || defined(__i386__)
#define LUNASHOT_MD5_AVX2 1
__attribute__((target("avx2"))) void Hash8(const std::uint8_t* const* buffers, std::size_t size,
                                           std::uint8_t (*sums)[kMd5Size]) {
  Hash<8>(buffers, size, sums);
}
#endif

}  // namespace

void Md5Lanes(const std::uint8_t* const* buffers, int count, std::size_t size,
              std::uint8_t (*sums)[kMd5Size]) {
  // A group short of lanes repeats its first buffer in the spare ones and
  // drops their sums. Five or more buffers left go to the 8 lanes at once:
  // no slower than two passes of 4.
  const std::uint8_t* group[8];
  std::uint8_t group_sums[8][kMd5Size];
  for (int at = 0; at < count;) {
    int lanes = 4;
#ifdef LUNASHOT_MD5_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2 && count - at > 4) lanes = 8;
#endif
    const int n = count - at < lanes ? count - at : lanes;
    for (int l = 0; l < lanes; ++l) group[l] = buffers[at + (l < n ? l : 0)];
#ifdef LUNASHOT_MD5_AVX2
    if (lanes == 8)
      Hash8(group, size, group_sums);
    else
#endif
      Hash4(group, size, group_sums);
    std::memcpy(sums + at, group_sums, sizeof group_sums[0] * n);
    at += n;
  }
}

}  // namespace base
