// Collects the text of a file being written and writes it out in large pieces, or keeps it
// in memory when no file is opened.
#pragma once

#include <cstdio>
#include <string>

namespace velorium {

// Sees the pieces of one file as they are written to it, so that a caller can use the text
// (compress it, say) while the rest is still being made.
class TextOutputTap {
 public:
  virtual ~TextOutputTap() = default;
  // The next piece written to the file, in order. The tap may keep the text by swapping
  // `piece` with a string of its own (its content does not matter), which the writer then
  // empties and fills again.
  virtual void written(std::string& piece) noexcept = 0;
};

// Shows `tap` every piece written to a file opened at exactly `path` on this thread while the
// scope lasts; files of other paths or threads are not shown. Scopes do not nest.
class ScopedTextOutputTap {
 public:
  ScopedTextOutputTap(const std::string& path, TextOutputTap& tap);
  ~ScopedTextOutputTap();
  ScopedTextOutputTap(const ScopedTextOutputTap&) = delete;
  ScopedTextOutputTap& operator=(const ScopedTextOutputTap&) = delete;

 private:
  std::string path_;
};

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
  // The system's error number (errno) of the first failure of open or finish; 0 for none.
  int error() const { return error_; }
  std::string takeText() { return std::move(text_); }

 private:
  void flush();

  std::FILE* file_ = nullptr;
  TextOutputTap* tap_ = nullptr;
  std::string text_;
  bool failed_ = false;
  int error_ = 0;
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
