#include "formats/common/number_text.hpp"

#include <charconv>
#include <cmath>

#include "core/text/number_text.hpp"
#include "formats/common/general_number_text.hpp"

namespace velorium {

namespace {
bool isAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
}  // namespace

char* writeGeneral(char* out, double value, int precision) {
  // Integers below 10^15 print as plain digits at any precision from 15 up. Most numbers of a
  // model file are such integers, and this path is many times faster than the general one.
  if (precision >= 15 && std::fabs(value) < 1e15 && value == std::trunc(value)) {
    if (std::signbit(value)) *out++ = '-';
    return std::to_chars(out, out + kGeneralTextCapacity, static_cast<std::uint64_t>(std::fabs(value))).ptr;
  }
  if (char* end = writeGeneralExactly(out, value, precision)) return end;
  // std::to_chars with a precision gives exactly printf's "%.*g" text of the "C" locale.
  return std::to_chars(out, out + kGeneralTextCapacity, value, std::chars_format::general, precision).ptr;
}

void appendGeneral(std::string& out, double value, int precision) {
  if (precision < 1 || precision > 17) {
    appendDoubleGeneral(out, value, precision);
    return;
  }
  char text[kGeneralTextCapacity];
  out.append(text, writeGeneral(text, value, precision));
}

void appendSignedGeneral(std::string& out, double value, int precision) {
  if (!std::signbit(value)) out += '+';
  appendGeneral(out, value, precision);
}

void appendFixed6(std::string& out, double value) { appendDoubleFixed(out, value, 6); }

void appendInteger(std::string& out, std::int64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

double parseLeadingDouble(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && isAsciiSpace(text[start])) ++start;
  double value = 0.0;
  parseDoublePrefix(text.substr(start), value);
  return value;
}

}  // namespace velorium
