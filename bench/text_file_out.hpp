// A fast text file writer for the benchmarks that write large model files of their own:
// text is gathered in a large buffer and goes to the file in large pieces; numbers are
// printed without the process locale.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace velorium::bench {

class TextFileOut {
 public:
  explicit TextFileOut(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ~TextFileOut() { close(); }
  TextFileOut(const TextFileOut&) = delete;
  TextFileOut& operator=(const TextFileOut&) = delete;

  bool isOpen() const { return file_ != nullptr; }

  // False when a write failed (the disk is full, for instance).
  bool close() {
    flush();
    if (file_ && std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
  }

  TextFileOut& operator<<(std::string_view text) {
    std::memcpy(reserve(text.size()), text.data(), text.size());
    advance(text.size());
    return *this;
  }
  TextFileOut& operator<<(const char* text) { return *this << std::string_view(text); }
  TextFileOut& operator<<(char c) {
    *reserve(1) = c;
    advance(1);
    return *this;
  }
  TextFileOut& operator<<(long value) {
    char* at = reserve(24);
    advance(static_cast<std::size_t>(std::to_chars(at, at + 24, value).ptr - at));
    return *this;
  }
  // The shortest text that reads back as `value`.
  TextFileOut& operator<<(double value) {
    char* at = reserve(32);
    advance(static_cast<std::size_t>(std::to_chars(at, at + 32, value).ptr - at));
    return *this;
  }
  // `value` with `digits` significant digits, as "%.*g" prints it.
  TextFileOut& general(double value, int digits) {
    char* at = reserve(32);
    advance(static_cast<std::size_t>(std::to_chars(at, at + 32, value, std::chars_format::general, digits).ptr - at));
    return *this;
  }
  // Blanks up to `position` characters into the line (none when the line is that long).
  TextFileOut& column(std::size_t position) {
    while (line_length_ < position) *this << ' ';
    return *this;
  }
  TextFileOut& endLine() {
    *this << '\n';
    line_length_ = 0;
    return *this;
  }
  std::size_t lineLength() const { return line_length_; }

 private:
  char* reserve(std::size_t n) {
    if (used_ + n > buffer_.size()) flush();
    return buffer_.data() + used_;
  }
  void advance(std::size_t n) {
    used_ += n;
    line_length_ += n;
  }
  void flush() {
    if (file_ && used_ && std::fwrite(buffer_.data(), 1, used_, file_) != used_) failed_ = true;
    used_ = 0;
  }

  std::FILE* file_;
  std::vector<char> buffer_ = std::vector<char>(std::size_t{1} << 20);
  std::size_t used_ = 0;
  std::size_t line_length_ = 0;
  bool failed_ = false;
};

}  // namespace velorium::bench
