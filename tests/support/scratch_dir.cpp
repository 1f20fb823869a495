#include "support/scratch_dir.hpp"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace velorium::test {

ScratchDir::ScratchDir() {
  static std::atomic<unsigned> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("velorium-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  if (!std::filesystem::create_directories(path_)) throw std::runtime_error("cannot create " + path_.string());
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::file(std::string_view name) const { return (path_ / name).string(); }

std::string ScratchDir::write(std::string_view name, std::string_view bytes) const {
  std::string full = file(name);
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + full);
  return full;
}

std::string readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace velorium::test
