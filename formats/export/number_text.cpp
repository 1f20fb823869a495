#include "formats/export/number_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace velorium {

namespace {
// Integers below 10^15 print as plain digits under any precision from 15 up, and most
// coefficients and bounds of real models are such integers; this path skips the general
// conversion. Smaller precisions take the general path.
constexpr double kPlainIntegerLimit = 1e15;
}  // namespace

char* writeDoubleG(char* out, double value, int precision) {
  if (precision >= 15 && std::fabs(value) < kPlainIntegerLimit && value == std::trunc(value)) {
    if (std::signbit(value)) *out++ = '-';
    auto magnitude = static_cast<std::uint64_t>(std::fabs(value));
    return std::to_chars(out, out + kDoubleTextCapacity, magnitude).ptr;
  }
  // std::to_chars with a precision is specified to give exactly printf's "%.*g" text.
  return std::to_chars(out, out + kDoubleTextCapacity, value, std::chars_format::general, precision).ptr;
}

char* writeSignedDoubleG(char* out, double value, int precision) {
  if (!std::signbit(value)) *out++ = '+';
  return writeDoubleG(out, value, precision);
}

std::string formatDoubleG(double value, int precision) {
  char buffer[kDoubleTextCapacity];
  return std::string(buffer, writeDoubleG(buffer, value, precision));
}

std::string formatSignedDoubleG(double value, int precision) {
  char buffer[kDoubleTextCapacity + 1];
  return std::string(buffer, writeSignedDoubleG(buffer, value, precision));
}

}  // namespace velorium
