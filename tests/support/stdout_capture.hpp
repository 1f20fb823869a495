// A capture of standard output, for tests of what reaches the console.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/scratch_dir.hpp"

namespace velorium::test {

// Sends file descriptor 1 (and so stdout) to a file until finish() or destruction.
class StdoutCapture {
 public:
  StdoutCapture() : path_(folder_.file("stdout.txt")) {
    std::fflush(stdout);
    saved_ = ::dup(STDOUT_FILENO);
    int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDOUT_FILENO);
    ::close(fd);
  }
  ~StdoutCapture() { restore(); }
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;

  std::string finish() {
    restore();
    return readFileBytes(path_);
  }

 private:
  void restore() {
    if (saved_ < 0) return;
    std::fflush(stdout);
    ::dup2(saved_, STDOUT_FILENO);
    ::close(saved_);
    saved_ = -1;
  }
  ScratchDir folder_;
  std::filesystem::path path_;
  int saved_ = -1;
};

}  // namespace velorium::test
