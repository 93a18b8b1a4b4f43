// A preloaded library (LD_PRELOAD, glibc) that counts the heap allocations a
// process makes (malloc, calloc, realloc to a new size, the aligned forms;
// operator new comes through malloc) and writes to the file named by
// ALLOC_HOOK_OUT, when the process exits, the count and the part of it made
// by realloc: the script host's Lua allocator uses only realloc, so that
// part is the scripts' own heap. bench/alloc_bench reads them.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {

std::atomic<unsigned long long> count{0}, reallocs{0};

void Count() { count.fetch_add(1, std::memory_order_relaxed); }

__attribute__((destructor)) void WriteCount() {
  const char* path = std::getenv("ALLOC_HOOK_OUT");
  if (!path) return;
  char text[48];
  const int n = std::snprintf(text, sizeof text, "%llu %llu\n", count.load(), reallocs.load());
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  if (write(fd, text, static_cast<std::size_t>(n)) != n) {
  }
  close(fd);
}

}  // namespace

extern "C" {

void* malloc(std::size_t n) {
  Count();
  return __libc_malloc(n);
}

void* calloc(std::size_t k, std::size_t n) {
  Count();
  return __libc_calloc(k, n);
}

void* realloc(void* p, std::size_t n) {
  if (n) {
    Count();
    reallocs.fetch_add(1, std::memory_order_relaxed);
  }
  return __libc_realloc(p, n);
}

void free(void* p) { __libc_free(p); }

void* memalign(std::size_t a, std::size_t n) {
  Count();
  return __libc_memalign(a, n);
}

void* aligned_alloc(std::size_t a, std::size_t n) {
  Count();
  return __libc_memalign(a, n);
}

int posix_memalign(void** p, std::size_t a, std::size_t n) {
  Count();
  *p = __libc_memalign(a, n);
  return *p ? 0 : 12;  // ENOMEM
}

}  // extern "C"
