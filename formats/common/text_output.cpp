#include "formats/common/text_output.hpp"

#include <cerrno>

namespace velorium {

namespace {

constexpr std::size_t kFlushThreshold = 1 << 20;

struct TapSlot {
  const std::string* path = nullptr;
  TextOutputTap* tap = nullptr;
};
thread_local TapSlot current_tap;

}  // namespace

ScopedTextOutputTap::ScopedTextOutputTap(const std::string& path, TextOutputTap& tap) : path_(path) {
  current_tap = {&path_, &tap};
}

ScopedTextOutputTap::~ScopedTextOutputTap() { current_tap = {}; }

TextOutput::~TextOutput() {
  if (file_ != nullptr) std::fclose(file_);
}

bool TextOutput::open(const std::string& path) {
  errno = 0;
  file_ = std::fopen(path.c_str(), "w");
  if (file_ == nullptr) error_ = errno;
  if (file_ != nullptr && current_tap.tap != nullptr && *current_tap.path == path) tap_ = current_tap.tap;
  return file_ != nullptr;
}

void TextOutput::flush() {
  if (file_ == nullptr || text_.empty()) return;
  if (std::fwrite(text_.data(), 1, text_.size(), file_) != text_.size()) {
    if (!failed_) error_ = errno;
    failed_ = true;
  } else if (tap_ != nullptr) {
    tap_->written(text_);
  }
  text_.clear();
}

void TextOutput::flushIfFull() {
  if (text_.size() >= kFlushThreshold) flush();
}

bool TextOutput::finish() {
  if (file_ == nullptr) return !failed_;
  flush();
  // The close writes the stream's own buffer; a full disk often shows only here.
  errno = 0;
  if (std::fclose(file_) != 0) {
    if (!failed_) error_ = errno;
    failed_ = true;
  }
  file_ = nullptr;
  return !failed_;
}

}  // namespace velorium
