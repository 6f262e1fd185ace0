// What the fuzz targets of the game's file readers share: one scratch folder
// per fuzzing process (in memory when possible, removed when the process ends
// normally) and plain file writing and reading for the bytes under test.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace braxo::fuzz {

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = "/dev/shm/braxo-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      pattern = "/tmp/braxo-fuzz-XXXXXX";
      if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    }
    path_ = pattern + "/";
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The process's scratch folder, ending in "/".
inline const std::string& ScratchPath() {
  static const ScratchDirectory directory;
  return directory.path();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// The file's bytes, or nothing when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace braxo::fuzz
