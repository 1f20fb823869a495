// Numbers as the model files print them: the text of printf's "%.<p>g" (and "%+.<p>g") in the
// "C" locale, produced without consulting the process locale and without printf's overhead.
#pragma once

#include <cstddef>
#include <string>

namespace velorium {

// Room that writeDoubleG and writeSignedDoubleG need at most (sign, 17 digits, point, exponent).
inline constexpr std::size_t kDoubleTextCapacity = 32;

// Writes `value` as "%.<precision>g" would (precision 1..17) and returns the end of the text.
// Infinities print "inf" / "-inf", NaN "nan" / "-nan", minus zero "-0".
char* writeDoubleG(char* out, double value, int precision);

// The same with printf's "+" flag: a sign is always shown ("+0", "+inf", "+nan").
char* writeSignedDoubleG(char* out, double value, int precision);

std::string formatDoubleG(double value, int precision);
std::string formatSignedDoubleG(double value, int precision);

}  // namespace velorium
