// Little-endian integers in byte buffers: the byte order of every engine file
// (sprite sets, surfaces, pal.pal needs none). Reads take a pointer the
// caller has already checked to hold enough bytes.
#pragma once
#include <cstdint>
#include <vector>

namespace base {

inline unsigned GetLe16(const std::uint8_t* p) { return p[0] | static_cast<unsigned>(p[1]) << 8; }

inline std::uint32_t GetLeU32(const std::uint8_t* p) {
  return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
         static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::int32_t GetLe32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(GetLeU32(p));
}

inline void PutLe16(std::vector<std::uint8_t>* out, unsigned v) {
  out->push_back(static_cast<std::uint8_t>(v));
  out->push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void PutLe32(std::vector<std::uint8_t>* out, std::uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

}  // namespace base
