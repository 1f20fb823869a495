// The matrix inputs of MatrixModel: conversion and checks of every argument first, then the
// library calls of the model's matrix face.
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "python/inputs/input_errors.hpp"
#include "python/inputs/matrix_input.hpp"
#include "python/inputs/vector_input.hpp"
#include "python/model_holder.hpp"

namespace veloriumpy {

namespace {

using velorium::constraint_sense;
using velorium::objective_sense;
using velorium::variable_type;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

template <class T>
const T* data_or_null(const std::vector<T>& values) {
  return values.empty() ? nullptr : values.data();
}

// Element count 1 or `count`, else `wrong_count`.
template <class T>
void one_or_count(const std::vector<T>& values, std::int64_t count, InputMessage wrong_count) {
  if (values.size() != 1 && static_cast<std::int64_t>(values.size()) != count) raise_input_error(wrong_count);
}

// One value stands for every row.
template <class T>
std::vector<T> per_row(std::vector<T> values, std::int64_t rows, InputMessage wrong_count) {
  if (values.size() == 1) return std::vector<T>(static_cast<std::size_t>(rows), values[0]);
  if (static_cast<std::int64_t>(values.size()) != rows) raise_input_error(wrong_count);
  return values;
}

// Linear coefficients of the objective, or of the new variables: None or the single value 0.0
// is none at all; otherwise one per variable.
std::vector<double> linear_coefficients(const py::object& object, std::int64_t count) {
  if (object.is_none()) return {};
  std::vector<double> values = real_vector(object, kLinearCoefficientsNotConverted);
  if (values.size() == 1 && values[0] == 0.0) return {};
  if (static_cast<std::int64_t>(values.size()) != count) raise_input_error(kObjectiveCoefficientsCount);
  return values;
}

// P of the objective or of one constraint: a square matrix over the model's variables.
std::optional<MatrixInput> quadratic_matrix(const py::object& object, std::int64_t variables) {
  if (object.is_none()) return std::nullopt;
  MatrixInput matrix = matrix_input(object);
  if (matrix.cols != matrix.rows) raise_input_error(kMatrixNotSquare);
  if (matrix.cols != variables) raise_input_error(kMatrixColumnsNotVariables);
  return matrix;
}

void refuse_non_finite(const double* values, std::int64_t count) {
  // Infinities and NaNs have every exponent bit set; one pass without a branch per element.
  constexpr std::uint64_t kExponent = 0x7ff0000000000000u;
  bool non_finite = false;
  for (std::int64_t i = 0; i < count; ++i) {
    std::uint64_t bits;
    std::memcpy(&bits, values + i, sizeof bits);
    non_finite |= (bits & kExponent) == kExponent;
  }
  if (non_finite) raise_input_error(kNonFiniteValue);
}

}  // namespace

void PythonMatrixModel::set_objective(py::object P, py::object q, objective_sense sense) {
  const std::int64_t n = get_variables_count();
  const std::optional<MatrixInput> matrix = quadratic_matrix(P, n);
  const std::vector<double> linear = linear_coefficients(q, n);
  if (!matrix) {
    // Neither part: the objective and its sense stay as they are.
    if (!linear.empty()) velorium::MatrixModel::set_objective(nullptr, 0, 0, linear.data(), linear.size(), sense);
    return;
  }
  const auto rows = static_cast<std::uint64_t>(matrix->rows);
  if (matrix->is_sparse) {
    velorium::IMatrixModel& face = this->matrix();
    face.SetObjectiveSparse(matrix->entry_values(), matrix->indices.data(), matrix->indptr.data(), rows, rows,
                            data_or_null(linear), linear.size(), sense);
    velorium::check_error(&face);
  } else {
    velorium::MatrixModel::set_objective(data_or_null(matrix->values), rows, rows, data_or_null(linear), linear.size(),
                                         sense);
  }
}

void PythonMatrixModel::add_variables(py::object lower_bounds, py::object upper_bounds, py::object obj_values,
                                      py::object var_types, IndexArgument count) {
  const auto n = py::cast<std::int32_t>(count.value);
  if (n < 1) raise_input_error(kVariableCountNotPositive);
  const std::vector<double> lower =
      lower_bounds.is_none() ? std::vector<double>{0.0} : real_vector(lower_bounds, kLowerBoundsNotConverted);
  one_or_count(lower, n, kLowerBoundsCount);
  const std::vector<double> upper =
      upper_bounds.is_none() ? std::vector<double>{kInfinity} : real_vector(upper_bounds, kUpperBoundsNotConverted);
  one_or_count(upper, n, kUpperBoundsCount);
  const std::vector<double> objective = linear_coefficients(obj_values, n);
  const std::vector<std::int32_t> types =
      var_types.is_none() ? std::vector<std::int32_t>{0}
                          : integer_vector(var_types, py::type::of<variable_type>(), kVariableTypesNotConverted);
  for (const std::int32_t type : types) {
    if (type < 0 || type > static_cast<std::int32_t>(variable_type::semiinteger)) {
      raise_input_error(kVariableTypesNotConverted);
    }
  }
  one_or_count(types, n, kVariableTypesCount);
  velorium::IMatrixModel& face = this->matrix();
  face.AddVariables(static_cast<std::uint64_t>(n), lower.data(), lower.size(), upper.data(), upper.size(),
                    data_or_null(objective), objective.size(), types.data(), types.size());
  velorium::check_error(&face);
}

void PythonMatrixModel::add_constraint(py::object P, py::object q, constraint_sense sense, double r) {
  const std::int64_t n = get_variables_count();
  const std::optional<MatrixInput> matrix = quadratic_matrix(P, n);
  std::vector<double> linear;
  if (!q.is_none()) linear = real_vector(q, kCoefficientsNotConverted);
  if (!matrix) {
    if (linear.empty()) raise_input_error(kEmptyConstraint);
    velorium::MatrixModel::add_constraint(nullptr, 0, 0, linear.data(), linear.size(), sense, r);
    return;
  }
  const auto rows = static_cast<std::uint64_t>(matrix->rows);
  if (matrix->is_sparse) {
    velorium::IMatrixModel& face = this->matrix();
    face.AddConstraintSparse(matrix->entry_values(), matrix->indices.data(), matrix->indptr.data(), rows, rows,
                             data_or_null(linear), linear.size(), sense, r);
    velorium::check_error(&face);
  } else {
    velorium::MatrixModel::add_constraint(data_or_null(matrix->values), rows, rows, data_or_null(linear),
                                          linear.size(), sense, r);
  }
}

void PythonMatrixModel::add_constraints(py::object A, py::object senses, py::object b) {
  const std::int64_t n = get_variables_count();
  const MatrixInput matrix = matrix_input(A);
  if (matrix.cols != n) raise_input_error(kMatrixColumnsNotVariables);
  const std::vector<double> rhs = per_row(real_vector(b, kRightHandSidesNotConverted), matrix.rows,
                                          kRightHandSidesCount);
  const std::vector<std::int32_t> sense_values =
      per_row(integer_vector(senses, py::type::of<constraint_sense>(), kSensesNotConverted), matrix.rows, kSensesCount);
  // A sense outside the three would make a row 0 <= ... <= 0 without a word.
  for (const std::int32_t sense : sense_values) {
    if (sense < 0 || sense > static_cast<std::int32_t>(constraint_sense::greater_equal)) {
      raise_input_error(kSensesNotConverted);
    }
  }
  // What the library would refuse at some row is refused here, before the first row.
  for (const double value : rhs) {
    if (std::isnan(value)) raise_input_error(kNonFiniteValue);
  }
  if (matrix.is_sparse) {
    refuse_non_finite(matrix.entry_values(), matrix.entries_in_use());
  } else {
    refuse_non_finite(matrix.values.data(), static_cast<std::int64_t>(matrix.values.size()));
  }

  velorium::IMatrixModel& face = this->matrix();
  for (std::int64_t i = 0; i < matrix.rows; ++i) {
    const auto sense = static_cast<constraint_sense>(sense_values[static_cast<std::size_t>(i)]);
    const double row_rhs = rhs[static_cast<std::size_t>(i)];
    if (matrix.is_sparse) {
      const std::int32_t start = matrix.indptr[i];
      const std::int32_t count = matrix.indptr[i + 1] - start;
      face.AddConstraintLinearSparse(count == 0 ? nullptr : matrix.entry_values() + start,
                                     count == 0 ? nullptr : matrix.indices.data() + start,
                                     static_cast<std::uint64_t>(count), sense, row_rhs);
    } else {
      face.AddConstraint(nullptr, 0, 0, matrix.values.data() + i * n, static_cast<std::uint64_t>(n), sense, row_rhs);
    }
    velorium::check_error(&face);
  }
}

}  // namespace veloriumpy
