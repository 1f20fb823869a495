#include "formats/mps/mps_line.hpp"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <system_error>

namespace velorium {

namespace {

// Byte classes: 0 field byte, 1 white space, 2 NUL. A table indexed by the unsigned byte
// keeps bytes above 0x7F (UTF-8 names) out of any signed-char or locale-dependent test.
struct ByteClasses {
  std::array<std::uint8_t, 256> table{};
  constexpr ByteClasses() {
    for (unsigned char c : {'\t', '\n', '\v', '\f', '\r', ' '}) table[c] = 1;
    table[0] = 2;
  }
};
constexpr ByteClasses kByteClasses;

// strtod under the "C" numeric locale; used only for magnitudes outside the double range,
// whose sign and direction from_chars does not report.
double readOutOfRange(std::string_view field) {
  static locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
  std::string copy(field);
  if (c_locale == static_cast<locale_t>(nullptr)) return 0.0;
  return strtod_l(copy.c_str(), nullptr, c_locale);
}

}  // namespace

void splitMpsLine(std::string_view text, MpsLine& line) {
  line.text = text;
  line.field_count = 0;
  line.has_nul = false;
  line.indented = !text.empty() && (text.front() == ' ' || text.front() == '\t');
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    std::uint8_t cls = kByteClasses.table[static_cast<unsigned char>(*p)];
    if (cls == 1) {
      ++p;
      continue;
    }
    const char* start = p;
    while (p < end && (cls = kByteClasses.table[static_cast<unsigned char>(*p)]) != 1) {
      if (cls == 2) line.has_nul = true;
      ++p;
    }
    if (line.field_count < MpsLine::kMaxFields) {
      line.fields[line.field_count] = std::string_view(start, static_cast<std::size_t>(p - start));
    }
    ++line.field_count;
  }
}

bool parseMpsNumber(std::string_view field, double& value) {
  const char* first = field.data();
  const char* last = first + field.size();
  if (first < last && *first == '+') {
    ++first;
    if (first < last && (*first == '+' || *first == '-')) return false;
  }
  if (first == last) return false;
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ptr != last) return false;
  if (ec == std::errc::result_out_of_range) {
    value = readOutOfRange(std::string_view(first, static_cast<std::size_t>(last - first)));
    return true;
  }
  return ec == std::errc();
}

bool parseMpsInteger(std::string_view field, std::int64_t& value) {
  const char* first = field.data();
  const char* last = first + field.size();
  if (first < last && *first == '+') {
    ++first;
    if (first < last && *first == '-') return false;
  }
  if (first == last) return false;
  auto [ptr, ec] = std::from_chars(first, last, value, 10);
  return ec == std::errc() && ptr == last;
}

}  // namespace velorium
