// Whole files: reading one into memory with a size cap, and writing one so
// that it appears complete under its name or not at all. Failures say which
// step failed and why, so each caller can name the file as its user knows it.
#pragma once
#include <sys/uio.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace base {

struct FileError {
  // "cannot open", "cannot read", "too large", "cannot create", "cannot write"
  const char* step = "";
  std::string reason;  // the system's reason, or the limit that was passed
  // "STEP: REASON"
  std::string Text() const { return std::string(step) + ": " + reason; }
};

// Reads the regular file at `path`. A file of more than max_bytes is refused
// unless `head_only`, which keeps its first max_bytes and ignores the rest.
// The open never blocks and only regular files are read, so a FIFO or a
// device named like a game's file cannot stall the engine: a directory fails
// at "cannot read" with the system's reason, anything else with
// kNotRegularFile as the reason.
constexpr const char* kNotRegularFile = "not a regular file";
bool ReadFile(const std::string& path, std::size_t max_bytes, std::vector<std::uint8_t>* bytes,
              FileError* error, bool head_only = false);
// Reads the start of a regular file straight into `parts` in turn (as
// readv does), for bytes that have fixed places: no buffer between. False
// with the step and reason as ReadFile; *got is how many bytes were read,
// fewer than the parts hold when the file is shorter.
bool ReadFileInto(const std::string& path, const iovec* parts, int count, std::size_t* got,
                  FileError* error);

// Writes to a new file of a unique name beside `path` (created exclusively,
// never through a symbolic link), syncs it and renames it over `path`. On
// failure the temporary file is removed and `path` is untouched. Temporary
// names are four characters (".XXX"), so listings that skip such short names
// (the replay menu) never show one.
bool WriteFileAtomic(const std::string& path, const void* data, std::size_t size, FileError* error);
inline bool WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& bytes,
                            FileError* error) {
  return WriteFileAtomic(path, bytes.data(), bytes.size(), error);
}

// Creates or truncates `path` and writes the bytes, without the temporary
// file and sync: for output that is cheap to make again (recorded frames).
// A write that fails removes the file.
bool WriteFile(const std::string& path, const void* data, std::size_t size, FileError* error);

// Removes the file that a WriteFileAtomic or WriteFile in progress has made
// and not yet completed (the temporary file, or the half-written one), if
// any. Async-signal-safe: a handler that ends the process at once calls it,
// so such an end leaves no partial or hidden file behind. One write is in
// progress at a time (the engine writes from one thread).
void RemovePartialFile();

}  // namespace base
