// MD5 of a buffer by nettle (its assembly where the machine has it); the
// browser build has a portable one (web/md5.cpp) that gives the same sums.
// Batches of buffers go side by side through md5_lanes.cpp instead.
#include "base/md5.h"

#include <nettle/md5.h>

namespace base {

std::string Md5Hex(const std::uint8_t* data, std::size_t size) {
  md5_ctx ctx;
  md5_init(&ctx);
  md5_update(&ctx, size, data);
  std::uint8_t sum[kMd5Size];
  md5_digest(&ctx, sizeof sum, sum);
  char hex[2 * kMd5Size];
  Md5Digits(sum, hex);
  return std::string(hex, sizeof hex);
}

}  // namespace base
