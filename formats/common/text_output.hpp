// Collects the text of a file being written and writes it out in large pieces, or keeps it
// in memory when no file is opened.
#pragma once

#include <cstdio>
#include <string>

namespace velorium {

class TextOutput {
 public:
  TextOutput() = default;
  ~TextOutput();
  TextOutput(const TextOutput&) = delete;
  TextOutput& operator=(const TextOutput&) = delete;

  // Creates `path` for writing as text, replacing an existing file; false when it cannot be
  // created. Without a successful open the text stays in memory.
  bool open(const std::string& path);

  std::string& text() { return text_; }
  // Writes the collected text to the file once it has grown large; keeps memory bounded.
  void flushIfFull();
  // Writes the rest and closes the file; false when any write or the close failed.
  bool finish();
  std::string takeText() { return std::move(text_); }

 private:
  void flush();

  std::FILE* file_ = nullptr;
  std::string text_;
  bool failed_ = false;
};

// Runs `write` (taking a TextOutput&) into the file at `path`; false when the file cannot
// be created or not all of it was written.
template <class Write>
bool writeTextFile(const std::string& path, Write&& write) {
  TextOutput out;
  if (!out.open(path)) return false;
  write(out);
  return out.finish();
}

// Runs `write` into memory and returns the text.
template <class Write>
std::string collectText(Write&& write) {
  TextOutput out;
  write(out);
  return out.takeText();
}

}  // namespace velorium
