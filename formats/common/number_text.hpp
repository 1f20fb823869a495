// Number text of the model files, independent of the process locale: the decimal point is
// always ".", whatever the numeric locale of the program that loaded the library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velorium {

// Appends `value` as printf's "%.*g" prints it in the "C" locale ("inf", "-inf", "nan" and
// "-nan" included).
void appendGeneral(std::string& out, double value, int precision);
// The same into a buffer of at least kGeneralTextCapacity characters, for precisions 1 to
// 17; returns the end of the text.
inline constexpr std::size_t kGeneralTextCapacity = 32;
char* writeGeneral(char* out, double value, int precision);
// The same with printf's "+" flag ("%+.*g"): the sign is always shown ("+0", "+inf").
void appendSignedGeneral(std::string& out, double value, int precision);
// Appends `value` as printf's "%f" prints it in the "C" locale.
void appendFixed6(std::string& out, double value);
void appendInteger(std::string& out, std::int64_t value);

// Minus zero made plus zero, so that model files hold "0" where a calculation left "-0"
// (other readers take "-0" as a different bound or misread it after a sign).
inline double withoutMinusZero(double value) { return value + 0.0; }

// Reads the number that `text` begins with as atof does in the "C" locale: leading white
// space, a sign, decimal or "0x" hexadecimal digits, "inf", "infinity", "nan"; 0 when the
// text begins with no number; a number too large for a double gives an infinity. Never
// reads past the end of `text`.
double parseLeadingDouble(std::string_view text);

}  // namespace velorium
