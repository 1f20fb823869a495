// The matrix-form additions of the model store: many variables at once, rows and the
// objective from coefficient arrays.
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

#include "core/base/catalogue_error.hpp"
#include "core/base/kernel.hpp"
#include "core/base/number_checks.hpp"
#include "core/expressions/model_term_lookups.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/model_builder.hpp"
#include "core/store/quadratic_matrix.hpp"
#include "core/store/reserve_one_more.hpp"
#include "core/store/row_bounds.hpp"
#include "core/store/variable_bounds.hpp"

namespace velorium::cpp_impl {

namespace {


bool makes_term(double coefficient) { return std::fabs(coefficient) > kZeroTolerance; }

// A one-entry array applies to every variable.
template <class T>
T value_for(const T* values, std::uint64_t values_count, std::uint64_t i) {
  return values[values_count == 1 ? 0 : i];
}

// The store index at a variable position given as an array entry or array index.
std::int32_t variable_at(const ModelBuilder& store, std::uint64_t position) {
  constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  if (position > kLargest) throw_catalogue_error(110, std::numeric_limits<std::int32_t>::max());
  return store.variable_at_position(static_cast<std::int32_t>(position));
}

// Linear terms of c'x for the positions whose coefficient makes a term (110 for such a
// position outside the live variables).
LinearTerms linear_terms_of(const ModelBuilder& store, const double* c, std::uint64_t c_count) {
  LinearTerms terms;
  if (!c) return terms;
  for (std::uint64_t i = 0; i < c_count; ++i) {
    refuse_non_finite(c[i]);
    if (makes_term(c[i])) terms.push_back({variable_at(store, i), c[i]});
  }
  return terms;
}

// The quadratic terms of a dense Q after its shape checks: square (133) unless it has no rows
// and `empty_rows_pass`, and as large as the number of live variables (134).
std::vector<QuadTerm> dense_quadratic_terms(const ModelBuilder& store, const double* q, std::uint64_t rows,
                                            std::uint64_t columns, bool empty_rows_pass) {
  if (!q) return {};
  if (rows != columns && !(empty_rows_pass && rows == 0)) throw_catalogue_error(133);
  if (rows != static_cast<std::uint64_t>(store.variable_count())) throw_catalogue_error(134);
  return quadratic_terms_of_dense(store, q, rows);
}

std::vector<QuadTerm> sparse_quadratic_terms(const ModelBuilder& store, const SparseMatrix& q) {
  if (!q.values) return {};
  if (q.rows != q.columns) throw_catalogue_error(133);
  if (q.rows != static_cast<std::uint64_t>(store.variable_count())) throw_catalogue_error(134);
  check_sparse_structure(q);
  return quadratic_terms_of_sparse(store, q);
}

}  // namespace

bool ModelBuilder::add_variables(const double* lower, std::uint64_t lower_count, const double* upper,
                                 std::uint64_t upper_count, const double* objective, std::uint64_t objective_count,
                                 const std::int32_t* types, std::uint64_t types_count, std::uint64_t count) {
  const std::uint64_t n = count;
  if (!lower) lower_count = 0;
  if (!upper) upper_count = 0;
  if (!objective) objective_count = 0;
  if (!types) types_count = 0;
  if (n == 0) throw_catalogue_error(128);
  if (lower_count != 1 && lower_count != n) throw_catalogue_error(129);
  if (upper_count != 1 && upper_count != n) throw_catalogue_error(130);
  if (types_count != 1 && types_count != n) throw_catalogue_error(131);
  if (objective_count != 0 && objective_count != n) throw_catalogue_error(132);
  const auto existing = static_cast<std::uint64_t>(column_table.record_count());
  if (n > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) - existing) {
    throw std::length_error("too many members in one model");
  }
  std::uint64_t objective_terms = 0;
  for (std::uint64_t i = 0; i < n; ++i) {
    const double l = value_for(lower, lower_count, i);
    const double u = value_for(upper, upper_count, i);
    refuse_nan(l);
    refuse_nan(u);
    if (l > u) throw_catalogue_error(115, u, l);
    const auto type = static_cast<std::uint32_t>(value_for(types, types_count, i));
    if (is_integral_type(type)) check_integer_bounds(l, u);
    if (objective_count != 0) {
      refuse_non_finite(objective[i]);
      if (makes_term(objective[i])) ++objective_terms;
    }
  }

  // Room for everything first, so that the appends below do not fail half-way.
  VeloriumNamesHolder& pool = kernel_names_holder();
  column_table.reserve_more_members(n);
  if (column_table.name_index_built.load(std::memory_order_relaxed)) {
    column_table.name_index.reserve(column_table.name_index.size() + n);
  }
  LinearTerms& objective_linear = model->objective.linear_terms;
  reserve_more(objective_linear, objective_terms);

  for (std::uint64_t i = 0; i < n; ++i) {
    Variable column{static_cast<std::uint32_t>(value_for(types, types_count, i)), value_for(lower, lower_count, i),
                    value_for(upper, upper_count, i), -1};
    if (column.type == kBinaryType) {
      column.lower = round_to_binary(column.lower);
      column.upper = round_to_binary(column.upper);
    }
    const std::int32_t name_id = default_member_name_id(column_table, "x");
    const std::int32_t store_index = column_table.append(std::move(column), name_id, pool);
    if (objective_count != 0 && makes_term(objective[i])) objective_linear.push_back({store_index, objective[i]});
  }
  return true;
}

void ModelBuilder::set_objective_dense(const double* q, std::uint64_t q_rows, std::uint64_t q_columns,
                                       const double* c, std::uint64_t c_count, int sense) {
  std::vector<QuadTerm> quadratic = dense_quadratic_terms(*this, q, q_rows, q_columns, false);
  LinearTerms linear = linear_terms_of(*this, c, c_count);
  replace_objective_terms(std::move(linear), std::move(quadratic), sense);
}

void ModelBuilder::set_objective_sparse(const double* q_values, const std::int32_t* q_column_indices,
                                        const std::int32_t* q_row_starts, std::uint64_t q_rows,
                                        std::uint64_t q_columns, const double* c, std::uint64_t c_count, int sense) {
  std::vector<QuadTerm> quadratic =
      sparse_quadratic_terms(*this, {q_values, q_column_indices, q_row_starts, q_rows, q_columns});
  LinearTerms linear = linear_terms_of(*this, c, c_count);
  replace_objective_terms(std::move(linear), std::move(quadratic), sense);
}

void ModelBuilder::replace_objective_terms(LinearTerms linear, std::vector<QuadTerm> quadratic, int sense) {
  Expression& objective = model->objective;
  objective.quadratic_terms = std::move(quadratic);
  objective.linear_terms = std::move(linear);
  model->objective_sense = sense != 0 ? 1 : 0;
  note_model_terms_replaced(this);  // views of the objective must not trust what they knew
}

namespace {

// Appends a matrix-form row with the name an unnamed row gets.
std::int32_t append_matrix_row(ModelBuilder& store, LinearTerms linear, std::vector<QuadTerm> quadratic,
                               int sense, double rhs) {
  const RowBounds bounds = checked_row_bounds(sense, rhs);
  Constraint row(bounds.lower, bounds.upper);
  row.expression.linear_terms = std::move(linear);
  row.expression.quadratic_terms = std::move(quadratic);
  const std::int32_t name_id = store.default_member_name_id(store.row_table, "C");
  return store.append_row(std::move(row), name_id);
}

}  // namespace

std::int32_t ModelBuilder::add_row_dense(const double* q, std::uint64_t q_rows, std::uint64_t q_columns,
                                         const double* c, std::uint64_t c_count, int sense, double rhs) {
  std::vector<QuadTerm> quadratic = dense_quadratic_terms(*this, q, q_rows, q_columns, true);
  if (c && c_count != static_cast<std::uint64_t>(variable_count())) throw_catalogue_error(138);
  LinearTerms linear = linear_terms_of(*this, c, c_count);
  return append_matrix_row(*this, std::move(linear), std::move(quadratic), sense, rhs);
}

std::int32_t ModelBuilder::add_row_sparse(const double* q_values, const std::int32_t* q_column_indices,
                                          const std::int32_t* q_row_starts, std::uint64_t q_rows,
                                          std::uint64_t q_columns, const double* c, std::uint64_t c_count, int sense,
                                          double rhs) {
  std::vector<QuadTerm> quadratic =
      sparse_quadratic_terms(*this, {q_values, q_column_indices, q_row_starts, q_rows, q_columns});
  LinearTerms linear = linear_terms_of(*this, c, c_count);
  return append_matrix_row(*this, std::move(linear), std::move(quadratic), sense, rhs);
}

std::int32_t ModelBuilder::add_row_linear_sparse(const double* values, const std::int32_t* positions,
                                                 std::uint64_t count, int sense, double rhs) {
  if (count != 0 && !positions) throw_catalogue_error(kInvalidMatrixMessage);
  const RowBounds bounds = checked_row_bounds(sense, rhs);
  LinearTerms linear;
  if (values) linear.reserve(count);
  // The hot loop of bulk row building: the position look-up of variable_at_position, inline.
  const std::int32_t live_count = column_table.live_count();
  const std::int32_t* live = column_table.live_store_indices();
  for (std::uint64_t k = 0; k < count; ++k) {
    const std::int32_t position = positions[k];
    if (position < 0 || position >= live_count) throw_catalogue_error(110, position);
    const std::int32_t variable = live ? live[position] : position;
    if (!values) continue;
    refuse_non_finite(values[k]);
    if (makes_term(values[k])) linear.push_back({variable, values[k]});
  }
  Constraint row(bounds.lower, bounds.upper);
  row.expression.linear_terms = std::move(linear);
  const std::int32_t name_id = default_member_name_id(row_table, "C");
  return append_row(std::move(row), name_id);
}

}  // namespace velorium::cpp_impl
