// MD5 of a buffer by nettle (its assembly where the machine has it); the
// browser build has a portable one (web/md5.cpp) that gives the same sums.
#include "base/md5.h"

#include <nettle/md5.h>

namespace base {

std::string Md5Hex(const std::uint8_t* data, std::size_t size) {
  md5_ctx ctx;
  md5_init(&ctx);
  md5_update(&ctx, size, data);
  std::uint8_t sum[MD5_DIGEST_SIZE];
  md5_digest(&ctx, sizeof sum, sum);
  static const char kDigits[] = "0123456789abcdef";
  char hex[2 * MD5_DIGEST_SIZE];
  for (int i = 0; i < MD5_DIGEST_SIZE; ++i) {
    hex[2 * i] = kDigits[sum[i] >> 4];
    hex[2 * i + 1] = kDigits[sum[i] & 15];
  }
  return std::string(hex, sizeof hex);
}

}  // namespace base
