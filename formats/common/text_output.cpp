#include "formats/common/text_output.hpp"

namespace velorium {

namespace {
constexpr std::size_t kFlushThreshold = 1 << 20;
}

TextOutput::~TextOutput() {
  if (file_ != nullptr) std::fclose(file_);
}

bool TextOutput::open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

void TextOutput::flush() {
  if (file_ == nullptr || text_.empty()) return;
  if (std::fwrite(text_.data(), 1, text_.size(), file_) != text_.size()) failed_ = true;
  text_.clear();
}

void TextOutput::flushIfFull() {
  if (text_.size() >= kFlushThreshold) flush();
}

bool TextOutput::finish() {
  if (file_ == nullptr) return !failed_;
  flush();
  // The close writes the stream's own buffer; a full disk often shows only here.
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

}  // namespace velorium
