#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

// A new folder for the files a target writes, in memory where the system offers it: every write
// is synced, which on a disk would limit a target to a few dozen runs a second.
inline std::filesystem::path ScratchFolder() {
  std::error_code error;
  std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                   ? std::filesystem::path("/dev/shm")
                                   : std::filesystem::temp_directory_path();
  std::string path = (base / "lumora-fuzz-XXXXXX").string();
  return mkdtemp(path.data());
}
