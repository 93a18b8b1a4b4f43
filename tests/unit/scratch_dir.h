// A temporary game directory made the working directory for a test's life, with the engine's paths
// built from it; removed, and the old one restored, when it goes. Every test's scratch folder.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "base/paths.h"

namespace test_support {

class ScratchDir {
 public:
  // `prefix` names the directory under /tmp; `subdirs` are made inside it.
  explicit ScratchDir(const char* prefix = "lunashot-test",
                      std::initializer_list<const char*> subdirs = {}) {
    char cwd[PATH_MAX];
    old_ = getcwd(cwd, sizeof cwd) ? cwd : "/";
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make " << pattern;
    path_ = pattern;
    for (const char* d : subdirs) std::filesystem::create_directory(path_ + "/" + d);
    if (chdir(path_.c_str()) != 0) ADD_FAILURE() << "cannot enter " << path_;
    if (!base::InitPaths()) ADD_FAILURE() << "paths of " << path_ << " do not fit";
  }
  ~ScratchDir() {
    if (chdir(old_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << old_;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` to the file at `relative`.
  void Write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream(*this / relative, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<std::uint8_t> Read(const std::string& relative) const {
    std::ifstream in(*this / relative, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  std::string Text(const std::string& relative) const {
    std::vector<std::uint8_t> bytes = Read(relative);
    return std::string(bytes.begin(), bytes.end());
  }
  // Names of the files in the directory or one of its folders, sorted.
  std::vector<std::string> Files(const std::string& folder = ".") const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(*this / folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string old_;
  std::string path_;
};

}  // namespace test_support
