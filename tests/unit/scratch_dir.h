// A temporary game directory made the working directory for a test's life,
// with the engine's paths built from it; removed, and the old working
// directory restored, when it goes.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "base/paths.h"

namespace test_support {

class ScratchDir {
 public:
  // `prefix` names the directory under /tmp; `subdirs` are made inside it.
  ScratchDir(const char* prefix, std::initializer_list<const char*> subdirs = {}) {
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

 private:
  std::string old_;
  std::string path_;
};

}  // namespace test_support
