#include "core/store/quadratic_matrix.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/base/catalogue_error.hpp"
#include "core/base/number_checks.hpp"
#include "core/names/fnv1a_hash.hpp"
#include "core/store/model_builder.hpp"
#include "core/store/variable_bounds.hpp"

namespace velorium::cpp_impl {

std::size_t QuadraticTermCollector::PairKeyHash::operator()(std::uint64_t key) const noexcept {
  std::uint64_t hash = kFnv1aOffsetBasis;
  for (int byte = 0; byte < 8; ++byte) {
    hash ^= (key >> (8 * byte)) & 0xffu;
    hash *= kFnv1aPrime;
  }
  return hash;
}

QuadraticTermCollector::QuadraticTermCollector(std::size_t expected_entries) {
  terms_.reserve(expected_entries);
  term_of_pair_.max_load_factor(1.0f);
  term_of_pair_.reserve(expected_entries);
}

void QuadraticTermCollector::add(std::int32_t variable1, std::int32_t variable2, double entry) {
  if (!(std::fabs(entry) > kZeroTolerance)) return;
  const std::int32_t low = std::min(variable1, variable2);
  const std::int32_t high = std::max(variable1, variable2);
  const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(low)) << 32) |
                            static_cast<std::uint32_t>(high);
  const auto [found, inserted] = term_of_pair_.try_emplace(key, static_cast<std::int32_t>(terms_.size()));
  if (inserted) terms_.push_back({low, high, 0.0});
  terms_[static_cast<std::size_t>(found->second)].coefficient += entry / 2;
}

std::vector<QuadTerm> quadratic_terms_of_dense(const ModelBuilder& store, const double* q, std::uint64_t size) {
  QuadraticTermCollector collector(0);
  const auto n = static_cast<std::int32_t>(size);
  for (std::int32_t row = 0; row < n; ++row) {
    const std::int32_t variable1 = store.variable_at_position(row);
    const double* entries = q + static_cast<std::uint64_t>(row) * size;
    for (std::int32_t column = 0; column < n; ++column) {
      refuse_non_finite(entries[column]);
      if (std::fabs(entries[column]) > kZeroTolerance) {
        collector.add(variable1, store.variable_at_position(column), entries[column]);
      }
    }
  }
  return collector.take();
}

void check_sparse_structure(const SparseMatrix& q) {
  if (!q.column_indices || !q.row_starts) throw_catalogue_error(kInvalidMatrixMessage);
  if (q.row_starts[0] < 0) throw_catalogue_error(kInvalidMatrixMessage);
  for (std::uint64_t row = 0; row < q.rows; ++row) {
    if (q.row_starts[row + 1] < q.row_starts[row]) throw_catalogue_error(kInvalidMatrixMessage);
  }
}

std::vector<QuadTerm> quadratic_terms_of_sparse(const ModelBuilder& store, const SparseMatrix& q) {
  const std::int64_t first = q.row_starts[0];
  const std::int64_t end = q.row_starts[q.rows];
  // Reserved for the stored entries, within reason: the arrays are the caller's to get right.
  constexpr std::int64_t kMostReserved = std::int64_t{1} << 22;
  QuadraticTermCollector collector(static_cast<std::size_t>(std::min(end - first, kMostReserved)));
  for (std::uint64_t row = 0; row < q.rows; ++row) {
    const std::int32_t variable1 = store.variable_at_position(static_cast<std::int32_t>(row));
    for (std::int32_t k = q.row_starts[row]; k < q.row_starts[row + 1]; ++k) {
      const double entry = q.values[k];
      refuse_non_finite(entry);
      if (std::fabs(entry) > kZeroTolerance) collector.add(variable1, store.variable_at_position(q.column_indices[k]), entry);
    }
  }
  return collector.take();
}

}  // namespace velorium::cpp_impl
