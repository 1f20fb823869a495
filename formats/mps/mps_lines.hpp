// Line pieces shared by the sections of the MPS writer.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "formats/common/number_text.hpp"

namespace velorium::mps_lines {

inline constexpr int kPrecision = 17;  // "%.17g": every double reads back exactly
inline constexpr std::size_t kNameWidth = 8;

// `name` left-aligned in a field of 8 characters ("%-8s"); a longer name extends the line.
inline void appendPadded(std::string& out, std::string_view name) {
  out += name;
  if (name.size() < kNameWidth) out.append(kNameWidth - name.size(), ' ');
}

inline void appendNumber(std::string& out, double value) { appendGeneral(out, withoutMinusZero(value), kPrecision); }

// "    <first>  <second>  <value>\n", the line of COLUMNS and of the quadratic sections.
inline void writePairLine(std::string& out, std::string_view first, std::string_view second, double value) {
  out += "    ";
  appendPadded(out, first);
  out += "  ";
  appendPadded(out, second);
  out += "  ";
  appendNumber(out, value);
  out += '\n';
}

inline void writeMarkerLine(std::string& out, int counter, bool open) {
  char number[16];
  std::snprintf(number, sizeof number, "%04d", counter);
  out += "    MARK";
  out += number;
  out += open ? "  'MARKER'                 'INTORG'\n" : "  'MARKER'                 'INTEND'\n";
}

}  // namespace velorium::mps_lines
