// The engine-side form of a model: column-wise arrays of costs, bounds and matrix entries, a
// Hessian for the quadratic objective, and names as pool ids. Ranged rows and indicator rows
// are rewritten on the way in as one-sided rows and big-M terms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/log/log_options.hpp"
#include "core/records/model.hpp"

namespace velorium {

// Formats of a ConstraintMatrix; any other value counts as column-wise when converted.
inline constexpr std::int32_t kMatrixColumnwise = 1;
inline constexpr std::int32_t kMatrixRowwise = 2;
inline constexpr std::int32_t kMatrixRowwisePartitioned = 3;

// Per-column integrality of a VeloriumModel.
inline constexpr std::uint8_t kEngineContinuous = 0;
inline constexpr std::uint8_t kEngineInteger = 1;  // binary and integer variables
inline constexpr std::uint8_t kEngineSemiContinuous = 2;
inline constexpr std::uint8_t kEngineSemiInteger = 3;

// |lower - upper| at most this counts as an equality row.
inline constexpr double kEngineEqualityTolerance = 1e-12;
// The coefficient that switches an indicator row off.
inline constexpr double kIndicatorBigM = 1e12;

// A sparse matrix in compressed form: column-wise, line j's entries (row in `indices`) are at
// positions starts[j] .. starts[j+1]-1; row-wise the same by rows (column in `indices`).
struct ConstraintMatrix {
  std::int32_t format = 0;
  std::int32_t column_count = 0;
  std::int32_t row_count = 0;
  std::vector<std::int32_t> starts;
  std::vector<std::int32_t> part_starts;  // of the row-wise form in parts; nothing here uses it
  std::vector<std::int32_t> indices;
  std::vector<double> values;
};

// The quadratic part of the objective, column-wise, both triangles stored. An objective term
// q*x_i*x_j (i != j) is stored as q/2 at (i, j) and at (j, i), a term q*x_i^2 as q at (i, i).
struct HessianMatrix {
  std::int32_t dimension = 0;
  std::int32_t format = 0;  // 2: the square form that fillFromModel builds
  std::vector<std::int32_t> starts;
  std::vector<std::int32_t> indices;
  std::vector<double> values;
};

class VeloriumModel {
 public:
  std::int32_t column_count = 0;
  std::int32_t row_count = 0;
  std::vector<double> column_costs;
  std::vector<double> column_lower;
  std::vector<double> column_upper;
  std::vector<double> row_lower;
  std::vector<double> row_upper;
  ConstraintMatrix matrix;
  std::int32_t sense = 0;  // 1 minimise, -1 maximise
  double offset = 0.0;
  std::string name;
  std::string objective_name;
  std::vector<std::int32_t> column_name_ids;
  // Emptied when a generated row name could clash with a row's own name.
  std::vector<std::int32_t> row_name_ids;
  std::vector<std::uint8_t> integrality;
  HessianMatrix hessian;
  // The objective has quadratic terms, or a row has, or the model has general constraints.
  bool has_nonlinear_part = false;
  bool is_convex = false;

  // Fills this (empty) object from `model`. Rows without terms are left out; equality
  // indicator rows and ranged rows are split into a "_PART1" row (upper side) and a
  // "_PART2" row (lower side); indicator rows get the big-M term of their indicator column.
  // Repeated terms of one column in a row or in the objective are summed; entries that come
  // to 0 are left out of the matrix and the Hessian. Unnamed rows get "VELORIUM_R<r>" unless
  // a row's own name begins so, in which case no row keeps a name. Messages go to `log`
  // when given. Throws velorium_exception (catalogue message 110) when the model refers to
  // a variable it does not have.
  void fillFromModel(const Model& model, const VeloriumLogOptions* log);
};

// Converts the matrix in place to column-wise (format 1) or row-wise (format 2) form; nothing
// happens when it has that form already (2 and 3 count as row-wise, every other format as
// column-wise). Each new line lists its entries by increasing old index; a matrix without
// entries ends with all-zero starts. Throws velorium_exception (catalogue message 110) when
// the matrix does not hold together.
void ensureColumnwise(ConstraintMatrix& matrix);
void ensureRowwise(ConstraintMatrix& matrix);

// Checks compressed lines (of a matrix or a Hessian) and returns their number of entries:
// `starts` has lines + 1 rising positions from 0, the entries fit `indices` and the values,
// and every index lies below `others`. No entries at all (empty starts or indices, or a
// last start of 0) is fine and gives 0. Throws velorium_exception (catalogue message 110).
std::size_t checkCompressedLines(const std::vector<std::int32_t>& starts, const std::vector<std::int32_t>& indices,
                                 std::size_t value_count, std::size_t lines, std::size_t others);

}  // namespace velorium
