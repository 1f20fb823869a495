// Quadratic terms from a coefficient matrix Q given over variable positions: the terms of
// 1/2 x'Qx, one term per unordered pair of variables.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/records/expression.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

// The catalogue message for coefficient arrays that do not describe a matrix.
inline constexpr int kInvalidMatrixMessage = 154;

// Q in compressed sparse rows: row r holds the entries from row_starts[r] up to, not
// including, row_starts[r + 1] (values and column indices).
struct SparseMatrix {
  const double* values = nullptr;
  const std::int32_t* column_indices = nullptr;
  const std::int32_t* row_starts = nullptr;  // rows + 1 entries
  std::uint64_t rows = 0;
  std::uint64_t columns = 0;
};

// Collects the terms of Q's entries in reading order. An entry of absolute value up to 1e-14
// is skipped; otherwise half of it goes to the term of its unordered pair, which is made the
// first time the pair is met. So a symmetric off-diagonal pair gets Q[i][j] and a diagonal
// entry Q[i][i] / 2; terms whose entries cancel stay with coefficient 0.
class QuadraticTermCollector {
 public:
  explicit QuadraticTermCollector(std::size_t expected_entries);

  void add(std::int32_t variable1, std::int32_t variable2, double entry);
  std::vector<QuadTerm> take() { return std::move(terms_); }

 private:
  // FNV-1a over the key's eight bytes, least significant first.
  struct PairKeyHash {
    std::size_t operator()(std::uint64_t key) const noexcept;
  };

  std::vector<QuadTerm> terms_;
  std::unordered_map<std::uint64_t, std::int32_t, PairKeyHash> term_of_pair_;
};

// The terms of a dense, row-major, square Q of `size` rows, whose rows and columns are the
// model's variable positions (the caller has checked that `size` is the number of live
// variables).
std::vector<QuadTerm> quadratic_terms_of_dense(const ModelBuilder& store, const double* q, std::uint64_t size);

// Checks the structure of a sparse Q: column indices and row starts given, row starts
// non-negative and non-decreasing (catalogue message 154 otherwise). Reads nothing else.
void check_sparse_structure(const SparseMatrix& q);

// The terms of a sparse Q that passed check_sparse_structure; a column index that is not a
// live variable position fails with 110 for an entry that makes a term.
std::vector<QuadTerm> quadratic_terms_of_sparse(const ModelBuilder& store, const SparseMatrix& q);

}  // namespace velorium::cpp_impl
