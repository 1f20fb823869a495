#include "core/text/number_text.hpp"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace velorium {

namespace {

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

bool isHexDigit(char c) {
  return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "0x" or "0X" followed by what can start a hexadecimal significand.
bool startsHexNumber(const char* p, const char* end) {
  if (end - p < 3 || p[0] != '0' || (p[1] != 'x' && p[1] != 'X')) return false;
  if (isHexDigit(p[2])) return true;
  return p[2] == '.' && end - p >= 4 && isHexDigit(p[3]);
}

// For a number that std::from_chars found out of range: infinity when its magnitude is
// above one (an overflow), zero otherwise (an underflow). Each significand digit is worth
// `digit_exponent` units of the exponent (1 for decimal, 4 bits for hexadecimal).
double outOfRangeMagnitude(const char* first, const char* last, int digit_exponent, char exponent_char) {
  long long lead_exponent = 0;
  bool have_lead = false;
  bool after_point = false;
  long long integer_digits_after_lead = 0;
  long long fraction_position = 0;
  const char* p = first;
  for (; p != last; ++p) {
    char c = *p;
    if (c == '.') {
      after_point = true;
      continue;
    }
    if (!isHexDigit(c) || (digit_exponent == 1 && !isDecimalDigit(c))) break;
    if (after_point) ++fraction_position;
    if (!have_lead && c != '0') {
      have_lead = true;
      lead_exponent = after_point ? -fraction_position : 0;
    } else if (have_lead && !after_point) {
      ++integer_digits_after_lead;
    }
  }
  if (!have_lead) return 0.0;
  long long exponent = (lead_exponent + integer_digits_after_lead) * digit_exponent;
  if (p != last && (*p == exponent_char || *p == exponent_char - 'a' + 'A')) {
    ++p;
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) negative = *p++ == '-';
    long long explicit_exponent = 0;
    for (; p != last && isDecimalDigit(*p); ++p) {
      if (explicit_exponent < 1000000000LL) explicit_exponent = explicit_exponent * 10 + (*p - '0');
    }
    exponent += negative ? -explicit_exponent : explicit_exponent;
  }
  return exponent >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

void appendDouble(std::string& out, double value, std::chars_format format, int precision) {
  if (precision < 0) precision = 6;
  // The widest fixed form of a double has 309 integer digits; sign, point and fraction come on top.
  constexpr int kStackPrecision = 60;
  char stack_buffer[400];
  std::string heap_buffer;
  char* first = stack_buffer;
  char* last = stack_buffer + sizeof stack_buffer;
  if (precision > kStackPrecision) {
    heap_buffer.resize(static_cast<std::size_t>(precision) + 330);
    first = heap_buffer.data();
    last = first + heap_buffer.size();
  }
  auto result = std::to_chars(first, last, value, format, precision);
  if (result.ec == std::errc()) out.append(first, result.ptr);
}

}  // namespace

bool parseInt32Text(std::string_view text, int& value) {
  if (text.empty()) {
    value = 0;
    return true;
  }
  std::size_t i = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i == text.size()) return false;
  const long long limit = negative ? 2147483648LL : 2147483647LL;
  long long magnitude = 0;
  for (; i < text.size(); ++i) {
    if (!isDecimalDigit(text[i])) return false;
    if (magnitude < limit) magnitude = std::min(limit, magnitude * 10 + (text[i] - '0'));
  }
  value = static_cast<int>(negative ? -magnitude : magnitude);
  return true;
}

std::size_t parseDoublePrefix(std::string_view text, double& value) {
  value = 0.0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  const char* p = begin;
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  // std::from_chars takes a minus of its own; a second sign is no number.
  if (p == end || *p == '+' || *p == '-') return 0;

  double magnitude = 0.0;
  const char* stop = nullptr;
  if (startsHexNumber(p, end)) {
    auto result = std::from_chars(p + 2, end, magnitude, std::chars_format::hex);
    stop = result.ptr;
    if (result.ec == std::errc::result_out_of_range) magnitude = outOfRangeMagnitude(p + 2, stop, 4, 'p');
  } else {
    auto result = std::from_chars(p, end, magnitude, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument) return 0;
    stop = result.ptr;
    if (result.ec == std::errc::result_out_of_range) magnitude = outOfRangeMagnitude(p, stop, 1, 'e');
  }
  value = negative ? -magnitude : magnitude;
  return static_cast<std::size_t>(stop - begin);
}

void appendDoubleFixed(std::string& out, double value, int precision) {
  appendDouble(out, value, std::chars_format::fixed, precision);
}

void appendDoubleGeneral(std::string& out, double value, int precision) {
  appendDouble(out, value, std::chars_format::general, precision);
}

void appendDecimal(std::string& out, std::uint64_t value) {
  char digits[20];  // the most a 64-bit value has
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string formatDoubleFixed(double value, int precision) {
  std::string text;
  appendDoubleFixed(text, value, precision);
  return text;
}

std::string formatDoubleGeneral(double value, int precision) {
  std::string text;
  appendDoubleGeneral(text, value, precision);
  return text;
}

}  // namespace velorium
