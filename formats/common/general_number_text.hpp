// printf's "%.<p>g" for the doubles that model files hold most, computed exactly with 128-bit
// integer arithmetic: several times faster than the general conversion.
#pragma once

namespace velorium {

// Writes `value` as "%.<precision>g" in the "C" locale (precision 1 to 17) and returns the
// end of the text, or returns null, writing nothing, when the value lies outside the range
// this method covers (zero, infinities, NaN, subnormals, magnitudes from 2^53 up or far below
// 1); the caller then uses the general conversion. Needs 32 characters of room.
char* writeGeneralExactly(char* out, double value, int precision);

}  // namespace velorium
