#include "formats/engine/velorium_model.hpp"

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/base/catalogue_error.hpp"
#include "core/log/logger.hpp"
#include "core/names/names_holder.hpp"
#include "formats/engine/indicator_split.hpp"
#include "formats/engine/quadratic_convexity.hpp"
#include "formats/export/export_model.hpp"

namespace velorium {

namespace {

constexpr std::string_view kReservedRowPrefix = "VELORIUM_R";

bool hasTerms(const Constraint& row) {
  return !row.expression.linear_terms.empty() || !row.expression.quadratic_terms.empty();
}

bool boundsEqual(const Constraint& row) { return std::fabs(row.lower - row.upper) <= kEngineEqualityTolerance; }

bool bothBoundsFinite(const Constraint& row) { return std::isfinite(row.lower) && std::isfinite(row.upper); }

// Rows that the engine form cannot hold as they are.
bool needsSplit(const Model& model) {
  for (const Constraint& row : model.rows) {
    if (!hasTerms(row)) return true;
    const bool equal = boundsEqual(row);
    if (row.indicator_variable >= 0 && equal) return true;
    if (bothBoundsFinite(row) && !equal) return true;
  }
  return false;
}

// The engine's integrality codes are the export copy's column kinds.
static_assert(kEngineContinuous == kExportContinuous && kEngineInteger == kExportInteger &&
              kEngineSemiContinuous == kExportSemiContinuous && kEngineSemiInteger == kExportSemiInteger);

bool quadraticPartsAreConvex(const Model& model) {
  if (!isQuadraticConvex(model.objective.quadratic_terms, model.objective_sense != 0)) return false;
  for (const Constraint& row : model.rows) {
    if (row.expression.quadratic_terms.empty()) continue;
    if (std::isfinite(row.lower) && std::isfinite(row.upper)) return false;
    if (std::isfinite(row.upper) && !isQuadraticConvex(row.expression.quadratic_terms, false)) return false;
    if (std::isfinite(row.lower) && !isQuadraticConvex(row.expression.quadratic_terms, true)) return false;
  }
  return true;
}

// Entries gathered line by line into compressed form, with repeated indices of a line summed
// and sums of 0 left out.
class CompressedBuilder {
 public:
  explicit CompressedBuilder(std::size_t index_count) : slot_of_index_(index_count, -1) {}

  // Adds `value` to the current line's entry for `index` (a new entry when it has none).
  void add(std::int32_t index, double value) {
    std::int32_t& slot = slot_of_index_[static_cast<std::size_t>(index)];
    if (slot < 0) {
      slot = static_cast<std::int32_t>(indices_.size() - line_start_);
      indices_.push_back(index);
      values_.push_back(value);
    } else {
      values_[line_start_ + static_cast<std::size_t>(slot)] += value;
    }
  }

  // Ends the current line: drops its zero entries and resets the slots.
  void endLine() {
    std::size_t kept = line_start_;
    for (std::size_t k = line_start_; k < indices_.size(); ++k) {
      slot_of_index_[static_cast<std::size_t>(indices_[k])] = -1;
      if (values_[k] == 0.0) continue;
      indices_[kept] = indices_[k];
      values_[kept] = values_[k];
      ++kept;
    }
    indices_.resize(kept);
    values_.resize(kept);
    line_start_ = kept;
    starts_.push_back(static_cast<std::int32_t>(kept));
  }

  void moveInto(std::vector<std::int32_t>& starts, std::vector<std::int32_t>& indices, std::vector<double>& values) {
    starts = std::move(starts_);
    indices = std::move(indices_);
    values = std::move(values_);
  }

 private:
  std::vector<std::int32_t> slot_of_index_;  // per index: its place in the current line, or -1
  std::vector<std::int32_t> starts_{0};
  std::vector<std::int32_t> indices_;
  std::vector<double> values_;
  std::size_t line_start_ = 0;
};

// The big-M coefficient of an indicator row's indicator column, and the row's new bounds.
double indicatorCoefficient(const Constraint& row, double& lower, double& upper) {
  if (row.indicator_value) {  // the row applies when the indicator is 1
    if (row.upper == INFINITY) {
      lower -= kIndicatorBigM;
      return -kIndicatorBigM;
    }
    if (row.lower == -INFINITY) {
      upper += kIndicatorBigM;
      return kIndicatorBigM;
    }
    return 0.0;
  }
  if (row.upper == INFINITY) return kIndicatorBigM;  // the row applies when the indicator is 0
  if (row.lower == -INFINITY) return -kIndicatorBigM;
  return 0.0;
}

// Transposes a compressed matrix of `line_count` lines whose indices lie below `other_count`.
void transpose(ConstraintMatrix& matrix, std::int32_t line_count, std::int32_t other_count) {
  const std::size_t lines = static_cast<std::size_t>(std::max(line_count, 0));
  const std::size_t others = static_cast<std::size_t>(std::max(other_count, 0));
  const std::size_t entry_count = checkCompressedLines(matrix.starts, matrix.indices, matrix.values.size(), lines, others);
  if (entry_count == 0) {
    matrix.starts.assign(others + 1, 0);
    matrix.indices.clear();
    matrix.values.clear();
    return;
  }
  std::vector<std::int32_t> starts(others + 1, 0);
  for (std::size_t k = 0; k < entry_count; ++k) ++starts[static_cast<std::size_t>(matrix.indices[k]) + 1];
  for (std::size_t other = 0; other < others; ++other) starts[other + 1] += starts[other];
  std::vector<std::int32_t> next(starts.begin(), starts.end() - 1);
  std::vector<std::int32_t> indices(entry_count);
  std::vector<double> values(entry_count);
  for (std::size_t line = 0; line < lines; ++line) {
    for (auto k = static_cast<std::size_t>(matrix.starts[line]); k < static_cast<std::size_t>(matrix.starts[line + 1]); ++k) {
      const auto place = static_cast<std::size_t>(next[static_cast<std::size_t>(matrix.indices[k])]++);
      indices[place] = static_cast<std::int32_t>(line);
      values[place] = matrix.values[k];
    }
  }
  matrix.starts = std::move(starts);
  matrix.indices = std::move(indices);
  matrix.values = std::move(values);
}

bool isRowwise(std::int32_t format) { return format == kMatrixRowwise || format == kMatrixRowwisePartitioned; }

}  // namespace

std::size_t checkCompressedLines(const std::vector<std::int32_t>& starts, const std::vector<std::int32_t>& indices,
                                 std::size_t value_count, std::size_t lines, std::size_t others) {
  if (starts.empty() || indices.empty() || starts.back() == 0) return 0;
  if (starts.size() != lines + 1) throw_catalogue_error(110, static_cast<int>(starts.size()));
  const auto entry_count = static_cast<std::size_t>(std::max(starts.back(), 0));
  if (entry_count > indices.size() || entry_count > value_count) throw_catalogue_error(110, starts.back());
  if (starts[0] != 0) throw_catalogue_error(110, starts[0]);
  for (std::size_t line = 0; line < lines; ++line) {
    if (starts[line] > starts[line + 1]) throw_catalogue_error(110, starts[line + 1]);
  }
  for (std::size_t k = 0; k < entry_count; ++k) {
    if (indices[k] < 0 || static_cast<std::size_t>(indices[k]) >= others) throw_catalogue_error(110, indices[k]);
  }
  return entry_count;
}

void ensureColumnwise(ConstraintMatrix& matrix) {
  if (matrix.format == kMatrixColumnwise) return;
  // Any format other than the row-wise ones is column-wise already.
  if (isRowwise(matrix.format)) transpose(matrix, matrix.row_count, matrix.column_count);
  matrix.format = kMatrixColumnwise;
}

void ensureRowwise(ConstraintMatrix& matrix) {
  if (isRowwise(matrix.format)) return;
  transpose(matrix, matrix.column_count, matrix.row_count);
  matrix.format = kMatrixRowwise;
}

void VeloriumModel::fillFromModel(const Model& source, const VeloriumLogOptions* log) {
  checkVariableReferences(source);
  VeloriumNamesHolder& pool = names_pool();
  std::optional<Model> split;
  const Model& model = needsSplit(source) ? splitIndicatorConstraints(source, split.emplace()) : source;
  const std::size_t columns = model.variables.size();
  const std::size_t rows = model.rows.size();

  has_nonlinear_part = !model.objective.quadratic_terms.empty() || !model.general_constraints.empty();
  for (const Constraint& row : model.rows) has_nonlinear_part = has_nonlinear_part || !row.expression.quadratic_terms.empty();
  is_convex = quadraticPartsAreConvex(model);

  name = model.name;
  row_count = static_cast<std::int32_t>(rows);
  row_name_ids.resize(rows, -1);

  column_count = static_cast<std::int32_t>(columns);
  column_lower.reserve(columns);
  column_upper.reserve(columns);
  column_name_ids.reserve(columns);
  integrality.reserve(columns);
  for (const Variable& variable : model.variables) {
    column_lower.push_back(variable.lower);
    column_upper.push_back(variable.upper);
    column_name_ids.push_back(variable.name_id);
    integrality.push_back(exportKindOf(variable.type));
  }

  objective_name = pool.name_view(model.objective.name_id);
  offset = model.objective.constant;
  column_costs.assign(columns, 0.0);
  for (const LinearTerm& term : model.objective.linear_terms) {
    column_costs[static_cast<std::size_t>(term.variable)] += term.coefficient;
  }

  // The Hessian, column by column: counted first, then placed in the order contributed.
  {
    bool any = false;
    for (const QuadTerm& term : model.objective.quadratic_terms) any = any || term.coefficient != 0.0;
    if (any) {
      std::vector<std::int32_t> counts(columns + 1, 0);
      for (const QuadTerm& term : model.objective.quadratic_terms) {
        ++counts[static_cast<std::size_t>(term.variable1) + 1];
        if (term.variable1 != term.variable2) ++counts[static_cast<std::size_t>(term.variable2) + 1];
      }
      for (std::size_t j = 0; j < columns; ++j) counts[j + 1] += counts[j];
      std::vector<std::int32_t> next(counts.begin(), counts.end() - 1);
      std::vector<std::int32_t> rows_of(static_cast<std::size_t>(counts.back()));
      std::vector<double> values_of(rows_of.size());
      auto place = [&](std::int32_t column, std::int32_t row, double value) {
        const auto at = static_cast<std::size_t>(next[static_cast<std::size_t>(column)]++);
        rows_of[at] = row;
        values_of[at] = value;
      };
      for (const QuadTerm& term : model.objective.quadratic_terms) {
        if (term.variable1 == term.variable2) {
          place(term.variable1, term.variable1, term.coefficient);
        } else {
          place(term.variable1, term.variable2, term.coefficient / 2.0);
          place(term.variable2, term.variable1, term.coefficient / 2.0);
        }
      }
      CompressedBuilder builder(columns);
      for (std::size_t j = 0; j < columns; ++j) {
        for (auto k = static_cast<std::size_t>(counts[j]); k < static_cast<std::size_t>(counts[j + 1]); ++k) {
          builder.add(rows_of[k], values_of[k]);
        }
        builder.endLine();
      }
      builder.moveInto(hessian.starts, hessian.indices, hessian.values);
      if (hessian.indices.empty()) {
        hessian = HessianMatrix{};
      } else {
        hessian.dimension = static_cast<std::int32_t>(columns);
        hessian.format = 2;
      }
    }
  }

  // Rows: bounds less the constant, big-M terms of indicator rows, the matrix by rows first.
  row_lower.reserve(rows);
  row_upper.reserve(rows);
  CompressedBuilder by_row(columns);
  for (std::size_t r = 0; r < rows; ++r) {
    const Constraint& row = model.rows[r];
    row_name_ids[r] = row.expression.name_id;
    double lower = row.lower;
    double upper = row.upper;
    if (std::isfinite(lower)) lower -= row.expression.constant;
    if (std::isfinite(upper)) upper -= row.expression.constant;
    for (const LinearTerm& term : row.expression.linear_terms) by_row.add(term.variable, term.coefficient);
    if (row.indicator_variable >= 0) by_row.add(row.indicator_variable, indicatorCoefficient(row, lower, upper));
    by_row.endLine();
    row_lower.push_back(lower);
    row_upper.push_back(upper);
  }
  matrix = ConstraintMatrix{};
  matrix.format = kMatrixRowwise;
  matrix.column_count = column_count;
  matrix.row_count = row_count;
  by_row.moveInto(matrix.starts, matrix.indices, matrix.values);
  ensureColumnwise(matrix);

  // Row names: unnamed rows get a generated name, unless a row's own name could clash with one.
  bool clash = false;
  bool generated = false;
  std::string generated_name;
  for (std::size_t r = 0; r < rows; ++r) {
    const char* text = pool.names_holder_get(row_name_ids[r]);
    if (text == nullptr) continue;
    const std::string_view row_name = pool.name_view(row_name_ids[r]);
    if (row_name.starts_with(kReservedRowPrefix)) {
      if (log) logLevelFormat(*log, kLogLevelInfo, "Имя %s начинается с \"VELORIUM_R\"\n", text);
      clash = true;
    }
    if (row_name.empty()) {
      generated_name.assign(kReservedRowPrefix);
      generated_name += std::to_string(r);
      row_name_ids[r] = static_cast<std::int32_t>(pool.find_or_add_name(generated_name));
      generated = true;
    }
  }
  if (generated && clash) {
    row_name_ids.clear();
    if (log) {
      logLevelFormat(*log, kLogLevelWarning,
                     "Невозможно создать имя строки начинающееся \"VELORIUM_R\" из-за других строкс таким же "
                     "префиксом: имена строк очищены\n");
    }
  }

  sense = model.objective_sense != 0 ? -1 : 1;
}

}  // namespace velorium
