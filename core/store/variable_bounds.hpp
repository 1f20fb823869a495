// The rules that tie a variable's bounds to its type.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace velorium::cpp_impl {

// Absolute values up to this count as zero (coefficients, distances to an integer).
inline constexpr double kZeroTolerance = 1e-14;

inline constexpr std::uint32_t kBinaryType = 1;
inline constexpr std::uint32_t kIntegerType = 2;
inline constexpr std::uint32_t kSemicontinuousType = 3;
inline constexpr std::uint32_t kSemiintegerType = 4;

inline bool is_integral_type(std::uint32_t type) { return type == kIntegerType || type == kSemiintegerType; }

// Infinite values pass: their distance to the floor is not a number and compares false.
inline bool is_integral(double value) { return !(std::fabs(value - std::floor(value)) > kZeroTolerance); }

// A binary variable's bound on addition: rounded half away from zero into {0, 1}. Adding 0
// turns the minus zero that rounding leaves of -0.4 (or that was given) into 0, which the
// variable's text and the files then show.
inline double round_to_binary(double bound) { return std::min(std::max(std::round(bound), 0.0), 1.0) + 0.0; }

}  // namespace velorium::cpp_impl
