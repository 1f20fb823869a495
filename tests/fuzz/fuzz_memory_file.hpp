// An in-memory file for the fuzz targets of readers that take a path: one per process,
// rewritten for every input, reached through /proc/self/fd.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

class MemoryFile {
 public:
  explicit MemoryFile(const char* name) : fd_(::memfd_create(name, 0)), path_("/proc/self/fd/" + std::to_string(fd_)) {
    if (fd_ < 0) std::abort();
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // Replaces the file's content; gives the path to read it through.
  const std::string& write(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(fd_, 0) != 0) std::abort();
    for (std::size_t done = 0; done < size;) {
      const ssize_t written = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
      if (written <= 0) std::abort();
      done += static_cast<std::size_t>(written);
    }
    return path_;
  }
  const std::string& write(std::string_view text) {
    return write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace fuzz
