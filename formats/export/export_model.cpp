#include "formats/export/export_model.hpp"

#include <charconv>
#include <cmath>
#include <string>

#include "core/names/names_holder.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "formats/export/legal_names.hpp"
#include "formats/export/used_name_set.hpp"
#include "velorium/velorium.hpp"

namespace velorium {

namespace {

bool isFinite(double value) { return std::isfinite(value); }

[[noreturn]] void throwMissingVariable(std::int64_t index) {
  throw velorium_exception(-1, formatString(get_message(110), static_cast<int>(index)).c_str());
}

void checkVariable(std::int64_t index, std::size_t variable_count) {
  if (index < 0 || static_cast<std::uint64_t>(index) >= variable_count) throwMissingVariable(index);
}

void checkExpression(const Expression& expression, std::size_t variable_count) {
  for (const LinearTerm& term : expression.linear_terms) checkVariable(term.variable, variable_count);
  for (const QuadTerm& term : expression.quadratic_terms) {
    checkVariable(term.variable1, variable_count);
    checkVariable(term.variable2, variable_count);
  }
}

// Every variable the writers will look up must exist, so they can index without checks.
void checkVariableReferences(const Model& model) {
  std::size_t count = model.variables.size();
  checkExpression(model.objective, count);
  for (const Constraint& row : model.rows) {
    checkExpression(row.expression, count);
    if (row.indicator_variable >= 0) checkVariable(row.indicator_variable, count);
  }
  for (const GeneralConstraintRecord& general : model.general_constraints) {
    checkVariable(general.result_variable, count);
    for (const ExprNodeRecord& node : general.nodes) {
      if (node.type == ExprNodeRecord::kVariableType) checkVariable(node.variable_index(), count);
    }
  }
}

// The text of a pool id; a null view when the id names nothing.
std::string_view poolName(const VeloriumNamesHolder& pool, std::int32_t id) { return pool.name_view(id); }

// "<prefix><index>": the name of an unnamed column ("X#") or row ("C#").
std::string_view defaultName(std::string& scratch, const char* prefix, std::size_t index) {
  scratch.assign(prefix);
  char digits[24];
  scratch.append(digits, std::to_chars(digits, digits + sizeof digits, index).ptr);
  return scratch;
}

}  // namespace

std::uint8_t exportKindOf(std::uint32_t variable_type) {
  switch (variable_type) {
    case 1:  // binary
    case 2:  // integer
      return kExportInteger;
    case 3:
      return kExportSemiContinuous;
    case 4:
      return kExportSemiInteger;
    default:
      return kExportContinuous;
  }
}

RowSides classifyRow(double lower, double upper) {
  if (lower == upper) return {'E', lower, 0.0};
  if (isFinite(upper)) return {'L', upper, isFinite(lower) ? upper - lower : 0.0};
  if (!isFinite(lower)) return {'N', lower, 0.0};
  return {'G', lower, 0.0};
}

void assignLegalName(ExportModel& copy, ExportNamed& record, std::string_view name) {
  if (isLegalName(name)) {
    record.name = copy.texts.store(name);
    record.model_name = {};
    return;
  }
  record.name = copy.texts.store(makeLegalName(name));
  record.model_name = copy.texts.store(name);
}

void assignUniqueName(ExportModel& copy, ExportNamed& record, std::string_view name, UsedNameSet& used) {
  assignLegalName(copy, record, name);
  if (used.insert(record.name)) return;
  if (record.model_name.empty()) record.model_name = copy.texts.store(name);
  record.name = copy.texts.store(used.firstFreeSuffixed(record.name));
  used.insert(record.name);
}

ExportModel buildExportModel(const Model& model, ExportContent content) {
  checkVariableReferences(model);
  const VeloriumNamesHolder& pool = *get_names_holder();
  ExportModel copy(model);
  std::string scratch;

  {
    UsedNameSet used(model.variables.size());
    copy.columns.resize(model.variables.size());
    for (std::size_t i = 0; i < model.variables.size(); ++i) {
      const Variable& variable = model.variables[i];
      ExportColumn& column = copy.columns[i];
      column.kind = exportKindOf(variable.type);
      std::string_view name = poolName(pool, variable.name_id);
      assignUniqueName(copy, column, name.data() ? name : defaultName(scratch, "X#", i), used);
    }
  }
  for (const LinearTerm& term : model.objective.linear_terms) {
    copy.columns[static_cast<std::size_t>(term.variable)].objective_coefficient += term.coefficient;
  }

  {
    UsedNameSet used(model.rows.size() + 1);
    copy.rows.resize(model.rows.size());
    for (std::size_t i = 0; i < model.rows.size(); ++i) {
      const Constraint& source = model.rows[i];
      ExportRow& row = copy.rows[i];
      std::string_view name = poolName(pool, source.expression.name_id);
      assignUniqueName(copy, row, name.data() ? name : defaultName(scratch, "C#", i), used);
      RowSides sides = classifyRow(source.lower, source.upper);
      row.type = sides.type;
      row.rhs = sides.rhs - source.expression.constant;
      row.range = sides.range;
    }
    // The objective is a row of the MPS file, so its name must not clash with a row's. Rows
    // are named first: a row keeps the name its model gave it even when it is "obj".
    std::string_view name = poolName(pool, model.objective.name_id);
    assignUniqueName(copy, copy.objective, name.empty() ? std::string_view("obj") : name, used);
  }

  {
    UsedNameSet used(model.general_constraints.size());
    copy.general_constraints.resize(model.general_constraints.size());
    for (std::size_t i = 0; i < model.general_constraints.size(); ++i) {
      assignUniqueName(copy, copy.general_constraints[i], model.general_constraints[i].name, used);
    }
  }

  if (content == ExportContent::with_column_entries) copy.buildColumnEntries();
  return copy;
}

void ExportModel::buildColumnEntries() {
  const std::size_t column_count = columns.size();
  entry_starts_.assign(column_count + 1, 0);
  for (const Constraint& row : model.rows) {
    for (const LinearTerm& term : row.expression.linear_terms) {
      if (term.coefficient != 0.0) ++entry_starts_[static_cast<std::size_t>(term.variable) + 1];
    }
  }
  for (std::size_t j = 0; j < column_count; ++j) entry_starts_[j + 1] += entry_starts_[j];
  entry_rows_.resize(entry_starts_[column_count]);
  entry_coefficients_.resize(entry_starts_[column_count]);

  // Rows are visited in order, so a column's entries come out by rising row, and a repeated
  // term of one row meets its predecessor as the column's last entry and is added to it.
  std::vector<std::size_t> ends(entry_starts_.begin(), entry_starts_.end() - 1);
  bool merged = false;
  for (std::size_t i = 0; i < model.rows.size(); ++i) {
    const auto row_index = static_cast<std::int32_t>(i);
    for (const LinearTerm& term : model.rows[i].expression.linear_terms) {
      if (term.coefficient == 0.0) continue;
      const auto j = static_cast<std::size_t>(term.variable);
      std::size_t& end = ends[j];
      if (end > entry_starts_[j] && entry_rows_[end - 1] == row_index) {
        entry_coefficients_[end - 1] += term.coefficient;
        merged = true;
      } else {
        entry_rows_[end] = row_index;
        entry_coefficients_[end] = term.coefficient;
        ++end;
      }
    }
  }
  if (!merged) return;

  // Close the gaps that merged terms left and drop sums of 0.
  std::size_t write = 0;
  for (std::size_t j = 0; j < column_count; ++j) {
    std::size_t begin = entry_starts_[j];
    entry_starts_[j] = write;
    for (std::size_t k = begin; k < ends[j]; ++k) {
      if (entry_coefficients_[k] == 0.0) continue;
      entry_rows_[write] = entry_rows_[k];
      entry_coefficients_[write] = entry_coefficients_[k];
      ++write;
    }
  }
  entry_starts_[column_count] = write;
  entry_rows_.resize(write);
  entry_coefficients_.resize(write);
}

}  // namespace velorium
