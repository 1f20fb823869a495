#include "formats/common/number_text.hpp"

#include <locale.h>

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace velorium {

namespace {
// Room for "%f" of the largest double: 309 digits, sign, point and six decimals.
constexpr std::size_t kNumberBuffer = 400;

bool isAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// strtod in the "C" locale, for the rare number that from_chars reports as out of range:
// it knows whether the value overflows (infinity) or underflows (zero or a subnormal).
double parseOutOfRange(std::string_view number) {
  static const locale_t c_locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  const std::string copy(number);
  return ::strtod_l(copy.c_str(), nullptr, c_locale);
}
}  // namespace

void appendGeneral(std::string& out, double value, int precision) {
  char buffer[kNumberBuffer];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  out.append(buffer, result.ptr);
}

void appendFixed6(std::string& out, double value) {
  char buffer[kNumberBuffer];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  out.append(buffer, result.ptr);
}

void appendInteger(std::string& out, std::int64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

double parseLeadingDouble(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end && isAsciiSpace(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  // from_chars takes neither a "+" nor a second sign, and "0x" only without its prefix.
  if (p == end || *p == '+' || *p == '-') return 0.0;
  const char* const digits = p;
  std::chars_format format = std::chars_format::general;
  if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    format = std::chars_format::hex;
    p += 2;
  }
  double value = 0.0;
  std::from_chars_result result = std::from_chars(p, end, value, format);
  if (result.ec == std::errc::invalid_argument) {
    // "0x" followed by no hexadecimal digit reads as the number 0, as strtod does.
    value = 0.0;
  } else if (result.ec == std::errc::result_out_of_range) {
    value = parseOutOfRange(std::string_view(digits, result.ptr - digits));
  }
  return negative ? -value : value;
}

}  // namespace velorium
