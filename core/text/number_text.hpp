// Numbers to and from text, independent of the process locale: a host program may set a
// locale with a comma decimal point, and option values, messages and files must not change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velorium {

// Reads a whole text as a signed decimal integer (optional sign, base 10), saturating at the
// limits of a signed 32-bit integer. An empty text reads as 0. Returns false, leaving `value`
// unchanged, when the text is not one number from its first to its last character.
bool parseInt32Text(std::string_view text, int& value);

// Reads the longest prefix of `text` that the C function strtod reads in the "C" locale
// (optional sign; decimal or hexadecimal number with exponent; "inf", "infinity", "nan",
// "nan(...)" in any case), without skipping white space. Returns the number of characters
// read, 0 when there is no number (then `value` is 0.0). Too large a magnitude reads as
// infinity, too small a one as zero, each with its sign.
std::size_t parseDoublePrefix(std::string_view text, double& value);

// printf "%.<precision>f" and "%.<precision>g" in the "C" locale ("inf", "-inf", "nan" and
// "-nan" included); a negative precision counts as 6.
std::string formatDoubleFixed(double value, int precision = 6);
std::string formatDoubleGeneral(double value, int precision = 6);
// The same, appended to `out` without a text of their own.
void appendDoubleFixed(std::string& out, double value, int precision = 6);
void appendDoubleGeneral(std::string& out, double value, int precision = 6);

// Appends the decimal digits of `value`, as generated names carry them ("x" then 12: "x12").
void appendDecimal(std::string& out, std::uint64_t value);

}  // namespace velorium
