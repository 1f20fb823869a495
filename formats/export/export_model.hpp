// The export copy of a flat model: what the LP and MPS writers print, with a legal name for
// every column, row, general constraint and the objective that is unique within its kind,
// row types and right-hand sides worked out, and the linear part rearranged by columns.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "core/records/model.hpp"
#include "formats/export/name_arena.hpp"
#include "velorium/velorium.hpp"

namespace velorium {

class UsedNameSet;

// A written name and, when it differs, the name the model holds (else empty).
struct ExportNamed {
  std::string_view name;
  std::string_view model_name;
};

// Column kinds of the export copy.
inline constexpr std::uint8_t kExportContinuous = 0;
inline constexpr std::uint8_t kExportInteger = 1;  // binary and integer variables
inline constexpr std::uint8_t kExportSemiContinuous = 2;
inline constexpr std::uint8_t kExportSemiInteger = 3;

// The export kind of a variable_type value; unknown values count as continuous.
std::uint8_t exportKindOf(std::uint32_t type);

// True when a Variable record's type field holds `type`.
inline bool hasType(const Variable& variable, variable_type type) {
  return variable.type == static_cast<std::uint32_t>(type);
}

struct ExportColumn : ExportNamed {
  double objective_coefficient = 0.0;  // sum of the objective's terms of this column; 0: none
  std::uint8_t kind = kExportContinuous;
};

struct ExportRow : ExportNamed {
  double range = 0.0;
  double rhs = 0.0;
  char type = 'N';  // 'E', 'L', 'G' or 'N'
};

// The row type, right-hand side (before the row's constant is taken off) and range that
// bounds l and u give; the first line that holds decides:
//   l == u -> E, l;  u finite -> L, u, range u - l when l is finite;  l not finite -> N, l;
//   otherwise -> G, l.
struct RowSides {
  char type;
  double rhs;
  double range;
};
RowSides classifyRow(double lower, double upper);

// A column's nonzero coefficients in the rows, by rising row index.
struct ColumnEntries {
  std::span<const std::int32_t> rows;
  std::span<const double> coefficients;
  std::size_t size() const { return rows.size(); }
  bool empty() const { return rows.empty(); }
};

// What to build: the LP writer prints rows from the model itself and needs no column-wise copy.
enum class ExportContent { names_only, with_column_entries };

class ExportModel {
 public:
  const Model& model;  // must outlive the copy
  std::vector<ExportColumn> columns;  // position = variable index
  std::vector<ExportRow> rows;        // position = row index
  ExportNamed objective;              // "obj" when the objective has no name
  std::vector<ExportNamed> general_constraints;  // names, position = general constraint index

  explicit ExportModel(const Model& source) : model(source) {}
  ExportModel(ExportModel&&) = default;

  // Requires ExportContent::with_column_entries.
  ColumnEntries entries(std::size_t column) const {
    std::size_t begin = entry_starts_[column];
    std::size_t count = entry_starts_[column + 1] - begin;
    return {{entry_rows_.data() + begin, count}, {entry_coefficients_.data() + begin, count}};
  }
  bool hasColumnEntries() const { return !entry_starts_.empty(); }
  // The row indices of all columns' entries, column after column: entries(j).rows is a part.
  std::span<const std::int32_t> allEntryRows() const { return entry_rows_; }

 // Storage of every name text above.
  NameArena texts;

  // Fills the column-wise copy of the rows' linear parts.
  void buildColumnEntries();

 private:
  template <typename Offset>
  std::vector<std::size_t> fillColumnEntries();

  // The column-wise copy of the rows' linear parts (compressed by column).
  std::vector<std::size_t> entry_starts_;
  std::vector<std::int32_t> entry_rows_;
  std::vector<double> entry_coefficients_;
};

// Throws velorium_exception (catalogue message 110) when the model refers to a variable it
// does not have (in a term, an indicator, a general constraint's result or variable node),
// so that code reading the model can index without checks.
void checkVariableReferences(const Model& model);

// Builds the copy. Repeated terms of one variable in a row or in the objective are summed,
// and a sum of 0 leaves no entry. Throws velorium_exception (catalogue message 110) when the
// model refers to a variable it does not have.
ExportModel buildExportModel(const Model& model,
                             ExportContent content = ExportContent::with_column_entries);

// Sets `record`'s name to `name` when it is legal, else to its legal form with `name` kept
// as model_name (an empty name becomes "name" and is not reported).
void assignLegalName(ExportModel& copy, ExportNamed& record, std::string_view name);

// assignLegalName, then makes the name unique in `used` with the first free "#k" suffix on
// the legal name; a suffixed record always reports the name it was given.
void assignUniqueName(ExportModel& copy, ExportNamed& record, std::string_view name, UsedNameSet& used);

// The (model_name, name) pairs of the records that were renamed, in record order.
using RenamedName = std::pair<std::string_view, std::string_view>;
template <typename Record>
std::vector<RenamedName> collectRenamedNames(const std::vector<Record>& records) {
  std::vector<RenamedName> pairs;
  for (const ExportNamed& record : records) {
    if (!record.model_name.empty()) pairs.emplace_back(record.model_name, record.name);
  }
  return pairs;
}

}  // namespace velorium
