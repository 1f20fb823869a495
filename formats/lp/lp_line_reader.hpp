// Lines of an LP text, from a file or from memory.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "formats/common/line_reader.hpp"
#include "formats/common/text_lines.hpp"
#include "formats/lp/lp_syntax_error.hpp"

namespace velorium {

// Hands out the text one line at a time, without its "\n" and without one "\r" before it, and
// counts the lines. A UTF-8 byte-order mark at the very start is skipped. A line costs memory
// in proportion to its length; nothing is kept of the lines before it.
class LpLineReader {
 public:
  // Opens the file; one that cannot be opened (missing, a directory, no permission) throws
  // LpFileError at once, and so does an input error later.
  static LpLineReader ofFile(const std::string& path);
  // Reads a text held in memory; the text must outlive the reader.
  static LpLineReader ofText(std::string_view text);

  // The next line, valid until the next call; false when the text has no more lines.
  bool nextLine(std::string_view& line);
  // The number of the line that nextLine delivered last (1 for the first).
  LpLineNumber lineNumber() const { return lineNumber_; }

 private:
  LpLineReader() = default;
  bool nextRawLine(std::string_view& line);

  std::unique_ptr<LineReader> file_;
  TextLines text_{std::string_view()};
  LpLineNumber lineNumber_ = 0;
};

}  // namespace velorium
