#include "core/base/number_checks.hpp"

#include "core/base/catalogue_error.hpp"

namespace velorium {

void throw_non_finite_value() { throw_catalogue_error(kNonFiniteValueMessage); }

void refuse_nan(const double* values, std::uint64_t count) {
  if (values == nullptr) return;
  for (std::uint64_t k = 0; k < count; ++k) refuse_nan(values[k]);
}

void refuse_non_finite(const double* values, std::uint64_t count) {
  if (values == nullptr) return;
  for (std::uint64_t k = 0; k < count; ++k) refuse_non_finite(values[k]);
}

}  // namespace velorium
