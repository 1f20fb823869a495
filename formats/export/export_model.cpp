#include "formats/export/export_model.hpp"

#include <cmath>
#include <string>

#include "core/base/prefetch.hpp"
#include "core/names/names_holder.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/number_text.hpp"
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

// The text of a pool id; a null view when the id names nothing.
std::string_view poolName(const VeloriumNamesHolder& pool, std::int32_t id) { return pool.name_view(id); }

// "<prefix><index>": the name of an unnamed column ("X#") or row ("C#").
std::string_view defaultName(std::string& scratch, const char* prefix, std::size_t index) {
  scratch.assign(prefix);
  appendDecimal(scratch, index);
  return scratch;
}

}  // namespace

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

std::uint8_t exportKindOf(std::uint32_t type) {
  switch (static_cast<variable_type>(type)) {
    case variable_type::binary:
    case variable_type::integer:
      return kExportInteger;
    case variable_type::semicontinuous:
      return kExportSemiContinuous;
    case variable_type::semiinteger:
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

namespace {

// The second half of assignUniqueName, for a record whose legal name is taken.
void giveSuffix(ExportModel& copy, ExportNamed& record, std::string_view name, UsedNameSet& used) {
  if (record.model_name.empty()) record.model_name = copy.texts.store(name);
  record.name = copy.texts.store(used.firstFreeSuffixed(record.name));
  used.insert(record.name);
}

// assignUniqueName for every record, given `name_of(i)`, the name that record i was given.
// All legal names are made first, so that each set look-up can be started a few records
// early: the set is too large for the cache, and waiting for each look-up in turn would
// dominate the time.
template <typename Record, typename NameOf>
void assignUniqueNames(ExportModel& copy, std::vector<Record>& records, UsedNameSet& used, NameOf&& name_of) {
  for (std::size_t i = 0; i < records.size(); ++i) assignLegalName(copy, records[i], name_of(i));
  constexpr std::size_t kAhead = 8;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i + kAhead < records.size()) used.prefetch(records[i + kAhead].name);
    if (!used.insert(records[i].name)) giveSuffix(copy, records[i], name_of(i), used);
  }
}

}  // namespace

void assignUniqueName(ExportModel& copy, ExportNamed& record, std::string_view name, UsedNameSet& used) {
  assignLegalName(copy, record, name);
  if (!used.insert(record.name)) giveSuffix(copy, record, name, used);
}

ExportModel buildExportModel(const Model& model, ExportContent content) {
  checkVariableReferences(model);
  const VeloriumNamesHolder& pool = names_pool();
  ExportModel copy(model);
  std::string scratch;

  {
    copy.columns.resize(model.variables.size());
    for (std::size_t i = 0; i < model.variables.size(); ++i) {
      copy.columns[i].kind = exportKindOf(model.variables[i].type);
    }
    UsedNameSet used(model.variables.size());
    assignUniqueNames(copy, copy.columns, used, [&](std::size_t i) {
      std::string_view name = poolName(pool, model.variables[i].name_id);
      return name.data() ? name : defaultName(scratch, "X#", i);
    });
  }
  for (const LinearTerm& term : model.objective.linear_terms) {
    copy.columns[static_cast<std::size_t>(term.variable)].objective_coefficient += term.coefficient;
  }

  {
    copy.rows.resize(model.rows.size());
    UsedNameSet used(model.rows.size() + 1);
    assignUniqueNames(copy, copy.rows, used, [&](std::size_t i) {
      std::string_view name = poolName(pool, model.rows[i].expression.name_id);
      return name.data() ? name : defaultName(scratch, "C#", i);
    });
    for (std::size_t i = 0; i < model.rows.size(); ++i) {
      const Constraint& source = model.rows[i];
      ExportRow& row = copy.rows[i];
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
    copy.general_constraints.resize(model.general_constraints.size());
    UsedNameSet used(model.general_constraints.size());
    assignUniqueNames(copy, copy.general_constraints, used,
                      [&](std::size_t i) { return std::string_view(model.general_constraints[i].name); });
  }

  if (content == ExportContent::with_column_entries) copy.buildColumnEntries();
  return copy;
}

namespace {

// Visits the rows' nonzero terms in order, handing each visitor call the term and its row.
// The columns of consecutive terms lie far apart in memory, so `far(j)` and `near(j)` are
// handed the variables of the terms 16 and 8 places later, to fetch what they will touch:
// what is found far ahead tells where to look near ahead.
template <typename Visit, typename Far, typename Near>
void forEachRowTerm(const std::vector<Constraint>& rows, Visit&& visit, Far&& far, Near&& near) {
  constexpr std::size_t kFar = 16;
  constexpr std::size_t kNear = 8;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const LinearTerms& terms = rows[i].expression.linear_terms;
    const LinearTerms* next = i + 1 < rows.size() ? &rows[i + 1].expression.linear_terms : nullptr;
    auto later = [&](std::size_t k) -> const LinearTerm* {
      if (k < terms.size()) return &terms[k];
      if (next && k - terms.size() < next->size()) return &(*next)[k - terms.size()];
      return nullptr;
    };
    for (std::size_t k = 0; k < terms.size(); ++k) {
      if (const LinearTerm* term = later(k + kFar)) far(term->variable);
      if (const LinearTerm* term = later(k + kNear)) near(term->variable);
      if (terms[k].coefficient != 0.0) visit(static_cast<std::int32_t>(i), terms[k]);
    }
  }
}

}  // namespace

// Rows are visited in order, so a column's entries come out by rising row, and a repeated
// term of one row meets its predecessor as the column's last entry and is added to it.
// Returns the ends of the columns' entries when terms were merged (gaps to close), else
// nothing. `Offset` holds an entry position: 32 bits halve the cursors whenever they suffice.
template <typename Offset>
std::vector<std::size_t> ExportModel::fillColumnEntries() {
  struct Cursor {
    Offset end;             // where the column's next entry goes
    std::int32_t last_row;  // the row of its last entry, -1 for none
  };
  const std::size_t column_count = columns.size();
  std::vector<Cursor> cursors(column_count);
  for (std::size_t j = 0; j < column_count; ++j) cursors[j] = {static_cast<Offset>(entry_starts_[j]), -1};
  bool merged = false;
  forEachRowTerm(
      model.rows,
      [&](std::int32_t row, const LinearTerm& term) {
        Cursor& cursor = cursors[static_cast<std::size_t>(term.variable)];
        if (cursor.last_row == row) {
          entry_coefficients_[cursor.end - 1] += term.coefficient;
          merged = true;
          return;
        }
        entry_rows_[cursor.end] = row;
        entry_coefficients_[cursor.end] = term.coefficient;
        ++cursor.end;
        cursor.last_row = row;
      },
      [&](std::int32_t j) { prefetchForWrite(&cursors[static_cast<std::size_t>(j)]); },
      [&](std::int32_t j) {
        std::size_t end = cursors[static_cast<std::size_t>(j)].end;
        prefetchForWrite(entry_rows_.data() + end);
        prefetchForWrite(entry_coefficients_.data() + end);
      });
  std::vector<std::size_t> ends;
  if (merged) {
    ends.resize(column_count);
    for (std::size_t j = 0; j < column_count; ++j) ends[j] = cursors[j].end;
  }
  return ends;
}

void ExportModel::buildColumnEntries() {
  const std::size_t column_count = columns.size();
  entry_starts_.assign(column_count + 1, 0);
  forEachRowTerm(
      model.rows,
      [&](std::int32_t, const LinearTerm& term) { ++entry_starts_[static_cast<std::size_t>(term.variable) + 1]; },
      [&](std::int32_t j) { prefetchForWrite(&entry_starts_[static_cast<std::size_t>(j) + 1]); },
      [](std::int32_t) {});
  for (std::size_t j = 0; j < column_count; ++j) entry_starts_[j + 1] += entry_starts_[j];
  entry_rows_.resize(entry_starts_[column_count]);
  entry_coefficients_.resize(entry_starts_[column_count]);

  std::vector<std::size_t> ends = entry_starts_.back() <= UINT32_MAX ? fillColumnEntries<std::uint32_t>()
                                                                       : fillColumnEntries<std::size_t>();
  if (ends.empty()) return;

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
