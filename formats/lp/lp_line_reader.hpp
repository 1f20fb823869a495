// Lines of an LP text, from a file or from memory.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "formats/lp/lp_syntax_error.hpp"

namespace velorium {

// Hands out the text one line at a time, without its "\n" and without one "\r" before it.
// A UTF-8 byte-order mark at the very start is skipped. A line costs memory in proportion to
// its length; nothing is kept of the lines before it.
class LpLineReader {
 public:
  // Reads the open file (not owned, not closed here); an input error throws LpFileError.
  explicit LpLineReader(std::FILE* file);
  // Reads a text held in memory; the text must outlive the reader.
  explicit LpLineReader(std::string_view text);

  // Fills `line` with the next line; false when the text has no more lines.
  bool nextLine(std::string& line);
  // The number of the line that nextLine delivered last (1 for the first).
  LpLineNumber lineNumber() const { return lineNumber_; }

 private:
  bool refill();

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::string_view chunk_;
  bool atStart_ = true;
  bool exhausted_ = false;
  LpLineNumber lineNumber_ = 0;
};

}  // namespace velorium
