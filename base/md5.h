// MD5 (RFC 1321) of a buffer as 32 lowercase hex digits: the frame hashes
// that compare a run's frames with another build's (not for security).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace base {

std::string Md5Hex(const std::uint8_t* data, std::size_t size);

}  // namespace base
