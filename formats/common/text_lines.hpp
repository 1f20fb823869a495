// Lines of a text held in memory, split exactly as LineReader splits the lines of a file.
#pragma once

#include <cstddef>
#include <string_view>

namespace velorium {

// The number of "\n" bytes in [text, text + length). The loop the compiler makes of
// std::count widens every byte to a 64-bit lane; this one counts 16 bytes at a time.
std::size_t countLineFeeds(const char* text, std::size_t length);

class TextLines {
 public:
  // The text need not end with a zero byte; nothing at or past text + length is read.
  TextLines(const char* text, std::size_t length) : text_(text), length_(length) {}
  explicit TextLines(std::string_view text) : TextLines(text.data(), text.size()) {}

  // Gives the next line without its "\n" and without one "\r" directly before it (a "\r"
  // that ends the last line is dropped too); false when no line is left.
  bool nextLine(std::string_view& line);

 private:
  const char* text_;
  std::size_t length_;
  std::size_t position_ = 0;
};

}  // namespace velorium
