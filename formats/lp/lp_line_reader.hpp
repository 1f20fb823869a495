// Lines of an LP text, from a file or from memory.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "formats/lp/lp_syntax_error.hpp"

namespace velorium {

// Hands out the text one line at a time, without its "\n" and without one "\r" before it, and
// counts the lines. A line is cut at its first ";" or "\\": the rest is a comment. A UTF-8
// byte-order mark at the very start is skipped; a NUL byte anywhere, in a comment too, is a
// syntax error. One pass over the bytes finds the line's end, its comment and any NUL byte.
// Behind every line at least kReadableAfterLine bytes may be read (their values unspecified),
// so that a line can be scanned in whole vector pieces. Nothing is kept of earlier lines: a
// line costs memory in proportion to its length.
class LpLineReader {
 public:
  static constexpr std::size_t kReadableAfterLine = 16;

  // Opens the file; one that cannot be opened (missing, a directory, no permission) throws
  // LpFileError at once, and an input error later throws it too.
  static LpLineReader ofFile(const std::string& path);
  // Reads a text held in memory; the text must outlive the reader.
  static LpLineReader ofText(std::string_view text);

  // The next line, valid until the next call; false when the text has no more lines.
  bool nextLine(std::string_view& line);
  // The number of the line that nextLine delivered last (1 for the first).
  LpLineNumber lineNumber() const { return lineNumber_; }

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  explicit LpLineReader(std::size_t capacity);
  // Reads more of the text behind the data held; false when none is left.
  bool readMore();
  // Makes room behind the data held: moves the unread part to the front, or grows.
  void makeRoom();

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::string_view text_;  // the rest of a text in memory not yet copied in
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;  // bytes the buffer holds, without the readable room behind
  std::size_t position_ = 0;  // first byte of the next line
  std::size_t end_ = 0;       // end of the data held
  bool inputEnded_ = false;
  LpLineNumber lineNumber_ = 0;
};

}  // namespace velorium
