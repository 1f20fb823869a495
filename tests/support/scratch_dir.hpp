// A fresh directory per test for files written and read by the tests; removed afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velorium::test {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Full path of `name` inside the directory.
  std::string file(std::string_view name) const;
  // Writes `bytes` exactly (binary) to `name` and returns its full path.
  std::string write(std::string_view name, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

// The whole content of a file, byte for byte; empty when it cannot be read.
std::string readFileBytes(const std::string& path);

}  // namespace velorium::test
