// Files written for an upload, with every write checked: a short or failed write, or a close
// that reports lost data, is an error, so a truncated file is never taken for a whole one.
#pragma once

#include <cstddef>
#include <string>

namespace velorium::nimbrova {

// A file descriptor closed on scope exit unless closed (and checked) before.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor();
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // False when the close reported an error (for a written file: data may be lost).
  bool close();

 private:
  int fd_;
};

// A new file (never one that exists), readable by its owner only. Failures throw
// std::runtime_error naming `what`, the path and the reason.
class OutputFile {
 public:
  OutputFile(const std::string& path, std::string what);
  void write(const void* data, std::size_t size);
  void write(const std::string& text) { write(text.data(), text.size()); }
  void finish();

 private:
  [[noreturn]] void fail(const char* action) const;

  std::string path_;
  std::string what_;
  Descriptor fd_;
};

}  // namespace velorium::nimbrova
