// Merging masked rows onto a target, d = (d & ~m) | (p & m), a row's bytes
// a block at a time. Both forms, vector (SSE2, or WebAssembly SIMD) and plain
// 64-bit, give the same bytes; the build uses the vector one where it has it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace video {

#if defined(__wasm_simd128__) || defined(__SSE2__)
constexpr bool kVectorMerge = true;
#else
constexpr bool kVectorMerge = false;
#endif

// d = (d & ~m) | (p & m) on 16, 8 or 4 bytes: one load and store of the
// target whatever the pixels. The 64-bit form gives the same bytes as the
// vector ones.
inline void Merge8(std::uint8_t* d, const std::uint8_t* p, const std::uint8_t* m) {
  std::uint64_t dv, pv, mv;
  std::memcpy(&dv, d, 8);
  std::memcpy(&pv, p, 8);
  std::memcpy(&mv, m, 8);
  dv = (dv & ~mv) | (pv & mv);
  std::memcpy(d, &dv, 8);
}

template <bool kVector>
inline void Merge16(std::uint8_t* d, const std::uint8_t* p, const std::uint8_t* m) {
  if (!kVector || !kVectorMerge) {
    Merge8(d, p, m);
    Merge8(d + 8, p + 8, m + 8);
    return;
  }
#if defined(__wasm_simd128__)
  wasm_v128_store(d, wasm_v128_bitselect(wasm_v128_load(p), wasm_v128_load(d), wasm_v128_load(m)));
#elif defined(__SSE2__)
  const __m128i mv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m));
  const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
  const __m128i pv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                   _mm_or_si128(_mm_andnot_si128(mv, dv), _mm_and_si128(pv, mv)));
#endif
}

inline void Merge4(std::uint8_t* d, const std::uint8_t* p, const std::uint8_t* m) {
  std::uint32_t dv, pv, mv;
  std::memcpy(&dv, d, 4);
  std::memcpy(&pv, p, 4);
  std::memcpy(&mv, m, 4);
  dv = (dv & ~mv) | (pv & mv);
  std::memcpy(d, &dv, 4);
}

// Merges n bytes (1 to kMaxMaskedWidth) on each of `rows` rows: row by row
// the target moves by `pitch`, the pixels by `p_step` and the mask by
// `m_step`. A row's last block ends at its last byte and may overlap the one
// before; merging a byte twice gives what merging it once does.
template <bool kVector>
inline void MergeRows(std::uint8_t* d, std::ptrdiff_t pitch, const std::uint8_t* p,
               std::ptrdiff_t p_step, const std::uint8_t* m, std::ptrdiff_t m_step, int rows,
               unsigned n) {
  if (n >= 16) {
    for (; rows > 0; --rows, d += pitch, p += p_step, m += m_step) {
      for (unsigned c = 0; c + 16 < n; c += 16) Merge16<kVector>(d + c, p + c, m + c);
      Merge16<kVector>(d + n - 16, p + n - 16, m + n - 16);
    }
  } else if (n >= 8) {
    for (; rows > 0; --rows, d += pitch, p += p_step, m += m_step) {
      Merge8(d, p, m);
      Merge8(d + n - 8, p + n - 8, m + n - 8);
    }
  } else if (n >= 4) {
    for (; rows > 0; --rows, d += pitch, p += p_step, m += m_step) {
      Merge4(d, p, m);
      Merge4(d + n - 4, p + n - 4, m + n - 4);
    }
  } else {
    for (; rows > 0; --rows, d += pitch, p += p_step, m += m_step)
      for (unsigned c = 0; c < n; ++c) d[c] = static_cast<std::uint8_t>((d[c] & ~m[c]) | (p[c] & m[c]));
  }
}

}  // namespace video
