#include "formats/lp/lp_line_reader.hpp"

#include <limits>

namespace velorium {

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
}  // namespace

LpLineReader LpLineReader::ofFile(const std::string& path) {
  LpLineReader reader;
  reader.file_ = std::make_unique<LineReader>(path, kBufferSize, true);
  if (!reader.file_->isOpen()) throw LpFileError(LpFileError::kCannotOpen);
  return reader;
}

LpLineReader LpLineReader::ofText(std::string_view text) {
  LpLineReader reader;
  reader.text_ = TextLines(text);
  return reader;
}

bool LpLineReader::nextRawLine(std::string_view& line) {
  if (file_) {
    if (file_->nextLine(line)) return true;
    if (file_->readFailed()) throw LpFileError(LpFileError::kCannotRead);
    return false;
  }
  return text_.nextLine(line);
}

bool LpLineReader::nextLine(std::string_view& line) {
  if (!nextRawLine(line)) return false;
  if (lineNumber_ == 0 && line.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    line.remove_prefix(kByteOrderMark.size());
  }
  if (lineNumber_ < std::numeric_limits<LpLineNumber>::max()) ++lineNumber_;
  return true;
}

}  // namespace velorium
