// A write buffer for model files: text is assembled in memory and handed to the file in large
// blocks; without a file it keeps the whole text (for tests and in-memory use).
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "formats/export/number_text.hpp"

namespace velorium {

class TextSink {
 public:
  // Keeps all text in memory; read it with text().
  TextSink() = default;
  // Writes to `file` (not owned) whenever the buffer fills, and on flush().
  explicit TextSink(std::FILE* file) : file_(file) { buffer_.reserve(kFlushSize + kSlack); }
  TextSink(const TextSink&) = delete;
  TextSink& operator=(const TextSink&) = delete;
  ~TextSink() { flush(); }

  void write(std::string_view text) {
    if (file_ && buffer_.size() + text.size() > kFlushSize) {
      flush();
      if (text.size() > kFlushSize) {
        std::fwrite(text.data(), 1, text.size(), file_);
        return;
      }
    }
    buffer_.append(text);
  }
  void put(char c) {
    buffer_.push_back(c);
    if (file_ && buffer_.size() >= kFlushSize) flush();
  }
  // `text` padded with blanks on the right to at least `width` characters ("%-8s").
  void writePadded(std::string_view text, std::size_t width) {
    write(text);
    if (text.size() < width) buffer_.append(width - text.size(), ' ');
  }
  // "%.<precision>g" of `value`.
  void writeNumber(double value, int precision) {
    char text[kDoubleTextCapacity];
    write(std::string_view(text, static_cast<std::size_t>(writeDoubleG(text, value, precision) - text)));
  }
  void writeInt(long long value) {
    char text[24];
    write(std::string_view(text, static_cast<std::size_t>(std::to_chars(text, text + sizeof text, value).ptr - text)));
  }

  // Hands the buffered text to the file (no-op in memory).
  void flush() {
    if (file_ && !buffer_.empty()) {
      std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
      buffer_.clear();
    }
  }
  const std::string& text() const { return buffer_; }

 private:
  static constexpr std::size_t kFlushSize = std::size_t{1} << 20;
  static constexpr std::size_t kSlack = 64;
  std::FILE* file_ = nullptr;
  std::string buffer_;
};

}  // namespace velorium
