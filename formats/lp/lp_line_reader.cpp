#include "formats/lp/lp_line_reader.hpp"

#include <cerrno>
#include <cstring>
#include <limits>

namespace velorium {

namespace {
constexpr std::size_t kChunkSize = 1 << 16;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
}  // namespace

LpLineReader::LpLineReader(std::FILE* file) : file_(file), buffer_(new char[kChunkSize]) {}

LpLineReader::LpLineReader(std::string_view text) : chunk_(text), exhausted_(true) {}

bool LpLineReader::refill() {
  if (exhausted_) return false;
  std::size_t got = std::fread(buffer_.get(), 1, kChunkSize, file_);
  if (got < kChunkSize) {
    if (std::ferror(file_)) throw LpFileError(std::string("input error: ") + std::strerror(errno));
    exhausted_ = true;
  }
  chunk_ = std::string_view(buffer_.get(), got);
  return got > 0;
}

bool LpLineReader::nextLine(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    if (chunk_.empty() && !refill()) break;
    if (atStart_) {
      // fread fills the first chunk whole unless the file is shorter, so the mark is never split.
      if (chunk_.substr(0, kByteOrderMark.size()) == kByteOrderMark) chunk_.remove_prefix(kByteOrderMark.size());
      atStart_ = false;
      if (chunk_.empty()) continue;
    }
    any = true;
    std::size_t end = chunk_.find('\n');
    if (end == std::string_view::npos) {
      line.append(chunk_);
      chunk_ = {};
      continue;
    }
    line.append(chunk_.substr(0, end));
    chunk_.remove_prefix(end + 1);
    break;
  }
  if (!any) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (lineNumber_ < std::numeric_limits<LpLineNumber>::max()) ++lineNumber_;
  return true;
}

}  // namespace velorium
