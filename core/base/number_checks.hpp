// The numbers that enter a model through the object and function interfaces. NaN never does:
// every comparison with it is false, so it would pass the bound checks and the zero tolerance
// unseen and leave a model that is not the one asked for. An infinity is a missing bound and
// means nothing as a coefficient, a constant or a start value. A refused number fails with
// catalogue message 505 ("Non-finite value"), code -1.
#pragma once

#include <cmath>
#include <cstdint>

namespace velorium {

inline constexpr int kNonFiniteValueMessage = 505;

[[noreturn]] void throw_non_finite_value();

// Bounds, right-hand sides and ranges: any number but NaN.
inline void refuse_nan(double value) {
  if (std::isnan(value)) throw_non_finite_value();
}
// Coefficients, constants, factors and start values: finite numbers only.
inline void refuse_non_finite(double value) {
  if (!std::isfinite(value)) throw_non_finite_value();
}
// The same for `count` entries of an array; a null array has none.
void refuse_nan(const double* values, std::uint64_t count);
void refuse_non_finite(const double* values, std::uint64_t count);

}  // namespace velorium
