#include "core/text/text_utils.hpp"

#include <boost/locale/encoding.hpp>
#include <algorithm>
#include <cstdio>

namespace velorium {

namespace {
constexpr std::size_t kFormatBuffer = 4096;

// Length of the longest prefix of `len` bytes that ends on a whole UTF-8 character.
std::size_t utf8_whole_prefix(const char* text, std::size_t len) {
  std::size_t start = len;
  // Walk back over at most three continuation bytes to the lead byte of the last character.
  while (start > 0 && len - start < 4 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
  if (start == 0) return len;
  unsigned char lead = static_cast<unsigned char>(text[start - 1]);
  std::size_t need = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
  std::size_t have = len - (start - 1);
  return have >= need ? len : start - 1;
}
}  // namespace

std::string formatStringV(const char* format, va_list args) {
  if (!format) return std::string();
  char buffer[kFormatBuffer];
  va_list copy;
  va_copy(copy, args);
  int written = std::vsnprintf(buffer, sizeof buffer, format, copy);
  va_end(copy);
  if (written < 0) return std::string();
  std::size_t len = 0;
  while (len < kFormatBuffer - 1 && buffer[len] != '\0') ++len;
  if (static_cast<std::size_t>(written) > len && len == kFormatBuffer - 1) len = utf8_whole_prefix(buffer, len);
  return std::string(buffer, len);
}

std::string formatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string result = formatStringV(format, args);
  va_end(args);
  return result;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  std::string::size_type pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
  return text;
}

void toLowerInPlace(char* text) {
  if (!text) return;
  for (; *text; ++text) {
    *text = toLowerAscii(*text);
  }
}

std::string toUpperCopy(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string& trimChars(std::string& text, const std::string& set) {
  if (set.empty()) return text;
  // npos + 1 wraps to 0, so a text made only of set characters becomes empty here.
  text.erase(text.find_last_not_of(set) + 1);
  text.erase(0, std::min(text.find_first_not_of(set), text.size()));
  return text;
}

std::string_view trimSpaces(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

std::string convertUtf8ToCp1251(const std::string& text) {
  return boost::locale::conv::from_utf(text, "windows1251", boost::locale::conv::skip);
}

std::string convertCp1251ToUtf8(const std::string& text) {
  return boost::locale::conv::to_utf<char>(text, "windows1251", boost::locale::conv::skip);
}

}  // namespace velorium
