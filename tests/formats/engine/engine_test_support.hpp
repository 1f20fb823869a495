// Helpers of the engine-side model tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "formats/engine/velorium_model.hpp"
#include "support/test_models.hpp"

namespace velorium::test {

// One matrix entry as (row, column, value), for comparing matrices independent of layout.
struct MatrixEntry {
  int row;
  int column;
  double value;
  bool operator==(const MatrixEntry&) const = default;
};

// The entries of a column-wise matrix, column by column.
inline std::vector<MatrixEntry> columnwiseEntries(const ConstraintMatrix& matrix) {
  std::vector<MatrixEntry> entries;
  for (std::size_t j = 0; j + 1 < matrix.starts.size(); ++j) {
    for (auto k = static_cast<std::size_t>(matrix.starts[j]); k < static_cast<std::size_t>(matrix.starts[j + 1]); ++k) {
      entries.push_back({matrix.indices[k], static_cast<int>(j), matrix.values[k]});
    }
  }
  return entries;
}

}  // namespace velorium::test
