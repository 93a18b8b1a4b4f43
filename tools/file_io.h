// Whole-file reads and all-or-nothing writes for lunashot-pack: an output
// file either appears complete under its final name or not at all.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// Reads the whole file. False with "PATH: cannot read (reason)" otherwise.
bool ReadFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error);

// Writes bytes to a temporary file in the target's directory and renames it
// over `path` only when every byte is on disk; on failure the temporary file
// is removed and nothing named `path` is created or changed.
bool WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& bytes,
                     std::string* error);

}  // namespace tools
