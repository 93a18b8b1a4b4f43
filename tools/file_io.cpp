// Whole-file reads and temporary-file-then-rename writes.
#include "tools/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tools {

bool ReadFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error) {
  bytes->clear();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *error = path + ": cannot read (" + std::strerror(errno) + ")";
    return false;
  }
  std::uint8_t buffer[65536];
  for (;;) {
    std::size_t got = std::fread(buffer, 1, sizeof buffer, f);
    bytes->insert(bytes->end(), buffer, buffer + got);
    if (got < sizeof buffer) break;
  }
  bool failed = std::ferror(f) != 0;
  int saved = errno;
  std::fclose(f);
  if (failed) {
    *error = path + ": cannot read (" + std::strerror(saved) + ")";
    return false;
  }
  return true;
}

bool WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& bytes,
                     std::string* error) {
  std::string temp = path + ".tmp-XXXXXX";
  int fd = mkstemp(&temp[0]);
  if (fd < 0) {
    *error = path + ": cannot write (" + std::strerror(errno) + ")";
    return false;
  }
  // mkstemp makes the file private; give it the permissions a plain create would.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);

  const std::uint8_t* p = bytes.data();
  std::size_t left = bytes.size();
  int failure = 0;
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      failure = errno;
      break;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (!failure && fsync(fd) != 0) failure = errno;
  if (close(fd) != 0 && !failure) failure = errno;
  if (!failure && std::rename(temp.c_str(), path.c_str()) != 0) failure = errno;
  if (failure) {
    unlink(temp.c_str());
    *error = path + ": cannot write (" + std::strerror(failure) + ")";
    return false;
  }
  return true;
}

}  // namespace tools
