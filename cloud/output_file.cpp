#include "cloud/output_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace velorium::nimbrova {

Descriptor::~Descriptor() {
  if (fd_ >= 0) ::close(fd_);
}

bool Descriptor::close() {
  const int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0;
}

OutputFile::OutputFile(const std::string& path, std::string what)
    : path_(path), what_(std::move(what)), fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)) {
  if (fd_.get() < 0) fail("create");
}

void OutputFile::write(const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t wrote = ::write(fd_.get(), bytes, size);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) fail("write");
    bytes += wrote;
    size -= static_cast<std::size_t>(wrote);
  }
}

void OutputFile::finish() {
  if (!fd_.close()) fail("close");
}

void OutputFile::fail(const char* action) const {
  throw std::runtime_error(std::string("cannot ") + action + " " + what_ + " " + path_ + ": " + std::strerror(errno));
}

}  // namespace velorium::nimbrova
