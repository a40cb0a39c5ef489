#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "core/FileIo.h"

namespace lumora::test {

// A fresh directory for one test, removed with everything in it afterwards.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumora-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }
  std::string Read(std::string_view name) const {
    return ReadFileBytes(path_ / name).value_or("<missing>");
  }
  void Write(std::string_view name, std::string_view bytes) const {
    WriteFileAtomically(path_ / name, bytes);
  }
  bool Exists(std::string_view name) const { return std::filesystem::exists(path_ / name); }
  // Only the files the program made, not stray temporaries.
  size_t FileCount() const {
    return std::ranges::count_if(std::filesystem::directory_iterator(path_),
                                 [](const auto& entry) { return entry.is_regular_file(); });
  }

 private:
  std::filesystem::path path_;
};

}  // namespace lumora::test
