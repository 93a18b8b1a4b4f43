// Whole-file reads and writes over the POSIX calls. A write either completes
// or leaves nothing behind: every failure path removes what it created.
#include "base/file.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace base {

namespace {

// The file of the write in progress, for RemovePartialFile. It is set and
// cleared only while the stop signals are held (HoldSignals), so a handler
// sees no file or a whole path of one that exists, and never a file that
// exists without being named here.
char partial_path[PATH_MAX];
volatile sig_atomic_t partial = 0;

// Holds SIGINT and SIGTERM, the signals the engine handles, for the moment a
// file is created or renamed and marked. The engine's other thread (SDL's
// audio) blocks them itself, so they reach only this one.
class HoldSignals {
 public:
  HoldSignals() {
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, &before_);
  }
  ~HoldSignals() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }

 private:
  sigset_t before_;
};

// Under HoldSignals only. A path too long to keep is not marked.
void MarkPartial(const std::string& path) {
  if (path.size() >= sizeof partial_path) return;
  std::memcpy(partial_path, path.c_str(), path.size() + 1);
  partial = 1;
}

bool Fail(FileError* error, const char* step, int err) {
  error->step = step;
  error->reason = std::strerror(err);
  return false;
}

// Writes every byte, going on after short writes and interruptions; 0 or errno.
int WriteAll(int fd, const void* data, std::size_t size) {
  auto* p = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    ssize_t n = write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

// Creates ".XXX" beside `path` with O_EXCL, so an existing file (or link) of
// that name is never opened; another name is tried on a collision.
int CreateTemporary(const std::string& path, std::string* temp) {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  static unsigned counter = 0;
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::uint32_t seed =
      static_cast<std::uint32_t>(now.tv_nsec) ^ static_cast<std::uint32_t>(getpid()) * 2654435761u;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::uint32_t x = (seed + ++counter) * 2654435761u;
    x ^= x >> 15;
    *temp = dir + "." + kChars[x % 62] + kChars[x / 62 % 62] + kChars[x / 3844 % 62];
    int fd = open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// The file opened for reading when it is a regular file (never blocking on
// a FIFO or a device), else -1 with the reason.
int OpenRegular(const std::string& path, struct stat* st, FileError* error) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fail(error, "cannot open", errno), -1;
  if (fstat(fd, st) != 0) {
    const int err = errno;
    close(fd);
    return Fail(error, "cannot read", err), -1;
  }
  if (!S_ISREG(st->st_mode)) {
    close(fd);
    Fail(error, "cannot read", EISDIR);
    if (!S_ISDIR(st->st_mode)) error->reason = kNotRegularFile;
    return -1;
  }
  return fd;
}

// Reads until `size` bytes, the end of the file or an error (*failure, an
// errno), going on after short reads and interruptions; how many were read.
std::size_t ReadFully(int fd, std::uint8_t* into, std::size_t size, int* failure) {
  std::size_t have = 0;
  while (have < size) {
    const ssize_t n = read(fd, into + have, size - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) *failure = errno;
    if (n <= 0) break;
    have += static_cast<std::size_t>(n);
  }
  return have;
}

}  // namespace

bool ReadFile(const std::string& path, std::size_t max_bytes, std::vector<std::uint8_t>* bytes,
              FileError* error, bool head_only) {
  bytes->clear();
  struct stat st;
  const int fd = OpenRegular(path, &st, error);
  if (fd < 0) return false;
  // Read straight into the buffer. A regular file's size is known: one
  // allocation, no copying; one byte past the cap is asked for to tell a
  // file of exactly max_bytes from a longer one, and a file that grows while
  // read is still held to the cap.
  const std::size_t limit = max_bytes < SIZE_MAX ? max_bytes + 1 : max_bytes;
  std::size_t have = 0;
  bytes->resize(std::min<std::size_t>(st.st_size > 0 ? std::size_t(st.st_size) + 1 : 65536, limit));
  int failure = 0;
  while (have < limit && !failure) {
    if (have == bytes->size()) bytes->resize(std::min(limit, 2 * have));
    const std::size_t room = bytes->size() - have;
    const std::size_t got = ReadFully(fd, bytes->data() + have, room, &failure);
    have += got;
    if (got < room) break;  // the end of the file
  }
  bytes->resize(have);
  close(fd);
  if (failure) {
    bytes->clear();
    return Fail(error, "cannot read", failure);
  }
  if (bytes->size() > max_bytes) {
    if (head_only) {
      bytes->resize(max_bytes);
      return true;
    }
    bytes->clear();
    error->step = "too large";
    error->reason = "more than " + std::to_string(max_bytes) + " bytes";
    return false;
  }
  return true;
}

bool ReadFileInto(const std::string& path, const iovec* parts, int count, std::size_t* got,
                  FileError* error) {
  *got = 0;
  struct stat st;
  const int fd = OpenRegular(path, &st, error);
  if (fd < 0) return false;
  int failure = 0;
  for (int p = 0; p < count; ++p) {
    const std::size_t have =
        ReadFully(fd, static_cast<std::uint8_t*>(parts[p].iov_base), parts[p].iov_len, &failure);
    *got += have;
    if (have < parts[p].iov_len) break;
  }
  close(fd);
  if (failure) return Fail(error, "cannot read", failure);
  return true;
}

bool WriteFileAtomic(const std::string& path, const void* data, std::size_t size,
                     FileError* error) {
  std::string temp;
  int fd;
  {
    HoldSignals hold;
    fd = CreateTemporary(path, &temp);
    if (fd < 0) return Fail(error, "cannot create", errno);
    MarkPartial(temp);
  }
  int failure = WriteAll(fd, data, size);
  if (!failure && fsync(fd) != 0) failure = errno;
  if (close(fd) != 0 && !failure) failure = errno;
  HoldSignals hold;
  if (!failure && std::rename(temp.c_str(), path.c_str()) != 0) failure = errno;
  if (failure) unlink(temp.c_str());
  partial = 0;
  return failure ? Fail(error, "cannot write", failure) : true;
}

bool WriteFile(const std::string& path, const void* data, std::size_t size, FileError* error) {
  int fd;
  {
    HoldSignals hold;
    fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return Fail(error, "cannot create", errno);
    MarkPartial(path);
  }
  int failure = WriteAll(fd, data, size);
  if (close(fd) != 0 && !failure) failure = errno;
  HoldSignals hold;
  if (failure) unlink(path.c_str());
  partial = 0;
  return failure ? Fail(error, "cannot write", failure) : true;
}

void RemovePartialFile() {
  if (partial) unlink(partial_path);
}

}  // namespace base
