// Adding many linear rows of one column pattern at once, all or none.
#pragma once

#include <cstdint>

#include "velorium/velorium.hpp"

namespace velorium::capi {

// Row r has the coefficients values[r * count .. r * count + count - 1] (no coefficients for
// any row when values is null) on the variable positions positions[0 .. count - 1], the sense
// senses[r] and the right-hand side rhs[r].
struct LinearSparseRows {
  const double* values;
  const std::int32_t* positions;
  std::uint64_t count;
  const std::int32_t* senses;
  const double* rhs;
  std::uint64_t rows;
};

// Adds the rows one by one with the model's AddConstraintLinearSparse. When one fails (or
// anything throws), the rows already added are removed again and the failing row's error code
// and text become the model's error information; otherwise the model's error information is
// that of the last row added. Never throws.
void add_linear_sparse_rows(IMatrixModel& model, const LinearSparseRows& rows) noexcept;

}  // namespace velorium::capi
