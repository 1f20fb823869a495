// Whole fields read as decimal numbers, exactly and without the process locale.
#pragma once

#include <string_view>

namespace velorium {

// Reads a whole field as a number: an optional sign ("+" or "-"), decimal digits with an
// optional "." and exponent, or "inf", "infinity", "nan" in any case. A field with anything
// else in it (another byte, a hexadecimal number, a second sign) gives false. The value is
// the double nearest to the decimal, as a correct conversion gives it; magnitudes beyond the
// double range read as infinity, those below it as zero, with their sign.
bool readDecimalNumber(std::string_view field, double& value);

// The same for a field behind whose end at least 8 bytes may be read (a field of a line that
// LineReader gives out). The short numbers most files hold, of up to 8 digits with or without
// a point, are read in one word, without a branch per byte.
bool readDecimalNumberOfLine(std::string_view field, double& value);

}  // namespace velorium
