// One line of an MPS file cut into its fields, and the strict number readers of the format.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/common/decimal_number.hpp"

namespace velorium {

// A line as the MPS reader sees it: up to kMaxFields fields (views into the line's own
// bytes), how many fields the line really has, and whether it starts with a blank or a tab
// (an indented line is data, never a section keyword).
struct MpsLine {
  static constexpr std::size_t kMaxFields = 8;

  std::string_view text;
  std::array<std::string_view, kMaxFields> fields{};
  std::size_t field_count = 0;  // may exceed kMaxFields; only the first kMaxFields are kept
  bool indented = false;
  bool has_nul = false;  // a NUL byte is not part of the format; the reader rejects such a line

  bool empty() const { return field_count == 0; }
  bool isComment() const { return !text.empty() && text.front() == '*'; }
  std::string_view field(std::size_t i) const { return i < kMaxFields && i < field_count ? fields[i] : std::string_view(); }
};

// Cuts `text` into fields at ASCII white space (tab, line feed, vertical tab, form feed,
// carriage return, blank); every other byte belongs to a field.
void splitMpsLine(std::string_view text, MpsLine& line);
// The same for a line behind whose end at least 63 more bytes may be read (as LineReader
// gives them): the line is scanned in whole pieces, without copying its last bytes.
void splitReadableMpsLine(std::string_view text, MpsLine& line);

// Reads a whole field as a decimal number, independent of the process locale: an optional
// sign, digits with an optional "." and exponent, or "inf", "infinity", "nan" in any case.
// A field with anything else in it gives false. Magnitudes beyond the double range read as
// infinity, those below it as zero, with their sign.
inline bool parseMpsNumber(std::string_view field, double& value) { return readDecimalNumber(field, value); }
// The same for a field of a line that LineReader gave out (bytes behind it may be read).
inline bool parseMpsLineNumber(std::string_view field, double& value) { return readDecimalNumberOfLine(field, value); }

// Reads a whole field as a decimal integer with an optional sign; false when the field is not
// entirely such an integer or does not fit in 64 bits.
bool parseMpsInteger(std::string_view field, std::int64_t& value);

}  // namespace velorium
