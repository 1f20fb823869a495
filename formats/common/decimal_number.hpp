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

}  // namespace velorium
