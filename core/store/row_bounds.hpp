// The bounds of a row given as (sense, right-hand side).
#pragma once

#include <limits>

#include "core/base/number_checks.hpp"

namespace velorium::cpp_impl {

struct RowBounds {
  double lower;
  double upper;
};

// equal (0): rhs to rhs; less_equal (1): -infinity to rhs; greater_equal (2): rhs to
// +infinity; any other value: 0 to 0.
constexpr RowBounds row_bounds_of_sense(int sense, double rhs) noexcept {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  switch (sense) {
    case 0:
      return {rhs, rhs};
    case 1:
      return {-kInfinity, rhs};
    case 2:
      return {rhs, kInfinity};
    default:
      return {0.0, 0.0};
  }
}

// The same, after refusing a NaN right-hand side (505) whatever the sense.
inline RowBounds checked_row_bounds(int sense, double rhs) {
  refuse_nan(rhs);
  return row_bounds_of_sense(sense, rhs);
}

}  // namespace velorium::cpp_impl
