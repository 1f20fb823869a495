#include "formats/mps/mps_writer.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "formats/common/number_text.hpp"
#include "formats/export/gen_expr_type_names.hpp"
#include "formats/mps/mps_lines.hpp"

namespace velorium {

namespace {

using namespace mps_lines;

bool isFinite(double value) { return std::isfinite(value); }

// "<vector><name>  <value>\n" of the RHS and RANGES sections.
void writeVectorLine(std::string& out, std::string_view vector, std::string_view name, double value) {
  out += vector;
  appendPadded(out, name);
  out += "  ";
  appendNumber(out, value);
  out += '\n';
}

// " <type> BOUND     <name>\n" and " <type> BOUND     <name>  <value>\n".
void appendBoundStart(std::string& out, std::string_view type, std::string_view name) {
  out += ' ';
  out += type;
  out += " BOUND     ";
  appendPadded(out, name);
}
void writeBoundLine(std::string& out, std::string_view type, std::string_view name) {
  appendBoundStart(out, type, name);
  out += '\n';
}
void writeBoundLine(std::string& out, std::string_view type, std::string_view name, double value) {
  appendBoundStart(out, type, name);
  out += "  ";
  appendNumber(out, value);
  out += '\n';
}

void writeHeaderLines(TextOutput& out, const ExportModel& copy) {
  std::string& text = out.text();
  text += "NAME        ";
  text += copy.model.name;
  text += "\nOBJSENSE\n  ";
  text += copy.model.objective_sense != 0 ? "MAX\n" : "MIN\n";
  text += "ROWS\n N  ";
  appendPadded(text, copy.objective.name);
  text += '\n';
  for (const ExportRow& row : copy.rows) {
    text += ' ';
    text += row.type;
    text += "  ";
    appendPadded(text, row.name);
    text += '\n';
    out.flushIfFull();
  }
}

// The header is written even when no line follows: cbc refuses a file whose RANGES, BOUNDS or
// later section comes without an RHS section before it.
void writeMpsRhs(TextOutput& out, const ExportModel& copy) {
  constexpr std::string_view kVector = "    RHS_V     ";
  out.text() += "RHS\n";
  auto line = [&](std::string_view name, double value) {
    writeVectorLine(out.text(), kVector, name, value);
    out.flushIfFull();
  };
  if (copy.model.objective.constant != 0.0) line(copy.objective.name, -copy.model.objective.constant);
  for (const ExportRow& row : copy.rows) {
    if (row.rhs != 0.0 && row.type != 'N') line(row.name, row.rhs);
  }
}

void writeMpsRanges(TextOutput& out, const ExportModel& copy) {
  bool header = false;
  for (const ExportRow& row : copy.rows) {
    if (row.range == 0.0) continue;
    if (!header) out.text() += "RANGES\n";
    header = true;
    writeVectorLine(out.text(), "    RANGE     ", row.name, row.range);
    out.flushIfFull();
  }
}

}  // namespace

void MpsWriter::writeFile(TextOutput& out, const ExportModel& copy) {
  writeHeaderLines(out, copy);
  writeMpsColumns(out, copy, true);
  writeMpsRhs(out, copy);
  writeMpsRanges(out, copy);
  writeMpsBounds(out, copy, true);
  writeMpsIndicators(out, copy);
  writeMpsQuadratic(out, copy, copy.model.objective, nullptr);
  for (std::size_t i = 0; i < copy.rows.size(); ++i) {
    writeMpsQuadratic(out, copy, copy.model.rows[i].expression, &copy.rows[i].name);
  }
  writeMpsGeneralConstraints(out, copy);
  out.text() += "ENDATA\n";
}

VeloriumStatus writeModelAsMps(const VeloriumLogOptions& log, const std::string& path, const Model& model) {
  MpsWriter writer;
  return writer.writeModelToFile(log, path, model);
}

void writeMpsBounds(TextOutput& out, const ExportModel& copy, bool consider_empty_columns) {
  bool header = false;
  for (std::size_t j = 0; j < copy.columns.size(); ++j) {
    const ExportColumn& column = copy.columns[j];
    const Variable& variable = copy.model.variables[j];
    if (!consider_empty_columns && copy.entries(j).empty() && column.objective_coefficient == 0.0) continue;
    if (column.kind == kExportContinuous && variable.lower == 0.0 && variable.upper == INFINITY) continue;
    if (!header) out.text() += "BOUNDS\n";
    header = true;
    writeMpsBound(out.text(), variable.lower, variable.upper, column.kind, column.name);
    out.flushIfFull();
  }
}

// The reader gives a column read from a marker block the bounds [0, 1], resets the lower bound
// of a column with a lone upper bound to 0 (or -infinity for a negative upper bound) and lifts
// the upper bound of one with a lone lower bound to +infinity; these lines undo exactly that.
void writeMpsBound(std::string& out, double lower, double upper, std::uint8_t kind, std::string_view name) {
  // Semi kinds come first: FX or FR would lose the type.
  if (kind == kExportSemiContinuous || kind == kExportSemiInteger) {
    writeBoundLine(out, kind == kExportSemiContinuous ? "SC" : "SI", name, upper);
    writeBoundLine(out, "LO", name, lower);
    return;
  }
  if (lower == upper) {
    writeBoundLine(out, "FX", name, lower);
    return;
  }
  if (!isFinite(lower) && !isFinite(upper)) {
    writeBoundLine(out, "FR", name);
    return;
  }
  // A lone negative upper bound would read back with the lower bound -infinity.
  bool lone_upper_misread = isFinite(upper) && upper < 0.0;
  if (kind == kExportInteger) {
    if (lower == 0.0 && upper == 1.0) {
      writeBoundLine(out, "BV", name);
      return;
    }
    if (lower == -INFINITY) {
      writeBoundLine(out, "MI", name);
    } else if (isFinite(lower) && (lower != 0.0 || !isFinite(upper) || lone_upper_misread)) {
      writeBoundLine(out, "LI", name, lower);
    }
    if (isFinite(upper)) writeBoundLine(out, "UI", name, upper);
    return;
  }
  if (!isFinite(lower)) {
    writeBoundLine(out, "MI", name);
  } else if (lower != 0.0 || lone_upper_misread) {
    writeBoundLine(out, "LO", name, lower);
  }
  if (isFinite(upper)) writeBoundLine(out, "UP", name, upper);
}

void writeMpsIndicators(TextOutput& out, const ExportModel& copy) {
  std::string& text = out.text();
  bool header = false;
  for (std::size_t i = 0; i < copy.rows.size(); ++i) {
    const Constraint& row = copy.model.rows[i];
    if (row.indicator_variable < 0) continue;
    if (!header) text += "INDICATORS\n";
    header = true;
    text += " IF ";
    appendPadded(text, copy.rows[i].name);
    text += "  ";
    appendPadded(text, copy.columns[static_cast<std::size_t>(row.indicator_variable)].name);
    text += row.indicator_value ? "  1\n" : "  0\n";
    out.flushIfFull();
  }
}

namespace {

// Repeated terms of one pair of columns (in either order) summed into the first of them, as a
// reader sums repeated entries of a section: the file then lists each pair once, so that
// reading it and writing it again gives the same text, and readers that refuse repeated
// entries read it too.
std::vector<QuadTerm> mergedQuadraticTerms(const std::vector<QuadTerm>& terms) {
  std::vector<QuadTerm> merged;
  merged.reserve(terms.size());
  std::unordered_map<std::uint64_t, std::size_t> position_of_pair;
  position_of_pair.reserve(terms.size());
  for (const QuadTerm& term : terms) {
    const auto low = static_cast<std::uint32_t>(std::min(term.variable1, term.variable2));
    const auto high = static_cast<std::uint32_t>(std::max(term.variable1, term.variable2));
    const auto [found, added] = position_of_pair.try_emplace((std::uint64_t{low} << 32) | high, merged.size());
    if (added) {
      merged.push_back(term);
    } else {
      merged[found->second].coefficient += term.coefficient;
    }
  }
  return merged;
}

}  // namespace

void writeMpsQuadratic(TextOutput& out, const ExportModel& copy, const Expression& expression,
                       const std::string_view* row_name) {
  if (expression.quadratic_terms.empty()) return;
  if (row_name) {
    out.text() += "QCMATRIX   ";
    out.text() += *row_name;
    out.text() += '\n';
  } else {
    out.text() += "QMATRIX\n";
  }
  // The objective's terms are the matrix of one half x'Qx, a row's that of x'Qx; both are
  // listed whole, each off-diagonal value in both places.
  struct Entry {
    std::int32_t first;
    std::int32_t second;
    double value;
  };
  std::vector<Entry> entries;
  entries.reserve(expression.quadratic_terms.size() * 2);
  for (const QuadTerm& term : mergedQuadraticTerms(expression.quadratic_terms)) {
    if (term.coefficient == 0.0) continue;
    double c = row_name ? term.coefficient : term.coefficient * 2.0;
    if (term.variable1 == term.variable2) {
      entries.push_back({term.variable1, term.variable1, c});
    } else if (c / 2.0 != 0.0) {  // a half that underflows would be refused by the reader
      entries.push_back({term.variable1, term.variable2, c / 2.0});
      entries.push_back({term.variable2, term.variable1, c / 2.0});
    }
  }
  // Ordered by both columns, so that the text does not depend on the order of the terms, which
  // a reader keeps in its own way: read and written again, a file gives the same text.
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.first != b.first ? a.first < b.first : a.second < b.second; });
  for (const Entry& entry : entries) {
    writePairLine(out.text(), copy.columns[static_cast<std::size_t>(entry.first)].name,
                  copy.columns[static_cast<std::size_t>(entry.second)].name, entry.value);
    out.flushIfFull();
  }
}

void writeMpsGeneralConstraints(TextOutput& out, const ExportModel& copy) {
  std::string& text = out.text();
  const auto& generals = copy.model.general_constraints;
  for (std::size_t g = 0; g < generals.size(); ++g) {
    if (g == 0) text += "GENCONS\n";
    text += " NL ";
    text += copy.general_constraints[g].name;
    text += "\n    ";
    text += copy.columns[static_cast<std::size_t>(generals[g].result_variable)].name;
    text += '\n';
    for (const ExprNodeRecord& node : generals[g].nodes) {
      text += "    ";
      text += genExprTypeName(node.type);
      text += ' ';
      if (node.type == ExprNodeRecord::kConstantType) {
        appendNumber(text, node.constant_value());
      } else if (node.type == ExprNodeRecord::kVariableType) {
        text += copy.columns[static_cast<std::size_t>(node.variable_index())].name;
      } else {
        text += "-1";
      }
      text += ' ';
      appendInteger(text, node.parent);
      text += '\n';
    }
    out.flushIfFull();
  }
}

}  // namespace velorium
