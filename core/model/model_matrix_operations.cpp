// The matrix-form face of the model: bulk variables, and rows and the objective from arrays.
#include <vector>

#include "core/model/model_impl.hpp"
#include "core/model/variable_impl.hpp"
#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {

void ModelImpl::AddVariables(std::uint64_t count, const double* lower_bounds, std::uint64_t lower_bounds_count,
                             const double* upper_bounds, std::uint64_t upper_bounds_count, const double* obj_coeffs,
                             std::uint64_t obj_coeffs_count, const std::int32_t* types, std::uint64_t types_count) {
  guarded([&] {
    std::vector<std::int32_t> store_types;
    if (types) {
      store_types.reserve(types_count);
      for (std::uint64_t i = 0; i < types_count; ++i) {
        store_types.push_back(static_cast<std::int32_t>(normalize_variable_type(types[i])));
      }
    }
    builder->add_variables(lower_bounds, lower_bounds_count, upper_bounds, upper_bounds_count, obj_coeffs,
                           obj_coeffs_count, types ? store_types.data() : nullptr, types_count, count);
  });
}

void ModelImpl::SetObjective(const double* q, std::uint64_t q_rows, std::uint64_t q_cols, const double* c,
                             std::uint64_t c_count, objective_sense sense) {
  guarded([&] { builder->set_objective_dense(q, q_rows, q_cols, c, c_count, static_cast<int>(sense)); });
}

void ModelImpl::SetObjectiveSparse(const double* q_values, const std::int32_t* q_col_indices,
                                   const std::int32_t* q_row_starts, std::uint64_t q_rows, std::uint64_t q_cols,
                                   const double* c, std::uint64_t c_count, objective_sense sense) {
  guarded([&] {
    builder->set_objective_sparse(q_values, q_col_indices, q_row_starts, q_rows, q_cols, c, c_count,
                                  static_cast<int>(sense));
  });
}

int ModelImpl::AddConstraint(const double* q, std::uint64_t q_rows, std::uint64_t q_cols, const double* c,
                             std::uint64_t c_count, constraint_sense sense, double rhs) {
  return guarded(-1, [&] {
    return static_cast<int>(builder->add_row_dense(q, q_rows, q_cols, c, c_count, static_cast<int>(sense), rhs));
  });
}

int ModelImpl::AddConstraintSparse(const double* q_values, const std::int32_t* q_col_indices,
                                   const std::int32_t* q_row_starts, std::uint64_t q_rows, std::uint64_t q_cols,
                                   const double* c, std::uint64_t c_count, constraint_sense sense, double rhs) {
  return guarded(-1, [&] {
    return static_cast<int>(builder->add_row_sparse(q_values, q_col_indices, q_row_starts, q_rows, q_cols, c, c_count,
                                                    static_cast<int>(sense), rhs));
  });
}

int ModelImpl::AddConstraintLinearSparse(const double* values, const std::int32_t* positions, std::uint64_t count,
                                         constraint_sense sense, double rhs) {
  return guarded(-1, [&] {
    return static_cast<int>(builder->add_row_linear_sparse(values, positions, count, static_cast<int>(sense), rhs));
  });
}

}  // namespace velorium::cpp_impl
