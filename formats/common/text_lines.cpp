#include "formats/common/text_lines.hpp"

#include <cstring>

namespace velorium {

bool TextLines::nextLine(std::string_view& line) {
  if (text_ == nullptr || position_ >= length_) return false;
  const char* start = text_ + position_;
  const std::size_t rest = length_ - position_;
  const void* found = std::memchr(start, '\n', rest);
  std::size_t length = found != nullptr ? static_cast<const char*>(found) - start : rest;
  position_ += found != nullptr ? length + 1 : rest;
  if (length > 0 && start[length - 1] == '\r') --length;
  line = std::string_view(start, length);
  return true;
}

}  // namespace velorium
