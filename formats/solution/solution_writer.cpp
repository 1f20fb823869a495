#include "formats/solution/solution_writer.hpp"

#include <cmath>
#include <cstdint>
#include <optional>

#include "formats/common/number_text.hpp"
#include "formats/common/text_output.hpp"

namespace velorium {

namespace {
constexpr int kValuePrecision = 17;

void writeLabelledNumber(std::string& text, const char* label, double value) {
  text += label;
  text += ' ';
  appendGeneral(text, value, kValuePrecision);
  text += '\n';
}

double relativeGapPercent(double objective, double bound) {
  if (objective == 0.0) return bound == 0.0 ? 0.0 : 100.0;
  return std::fabs((objective - bound) / objective) * 100.0;
}

template <class Map>
void writeEntries(TextOutput& out, const Map& entries, bool write_zeros) {
  for (const auto& [name, value] : entries) {
    if (!write_zeros && value == 0.0) continue;
    std::string& text = out.text();
    // A line that begins with "#" reads as a comment or a heading, which would lose the entry
    // or switch the section; the reader trims blanks around a name, so one blank in front
    // keeps such a name whole.
    if (!name.empty() && name.front() == '#') text += ' ';
    text += name;
    text += ' ';
    appendGeneral(text, value, kValuePrecision);
    text += '\n';
    out.flushIfFull();
  }
}

template <class Map>
void writeSection(TextOutput& out, const char* heading, bool present, const Map& entries, bool write_zeros) {
  if (!present && entries.empty()) return;
  out.text() += '\n';
  out.text() += heading;
  out.text() += '\n';
  writeEntries(out, entries, write_zeros);
}

template <class Map>
void writeSolution(TextOutput& out, const SolutionData& data, const Map& values, const Map& duals,
                   const Map& reduced_costs) {
  std::string& text = out.text();
  text += "# Velorium Solution File Version 1.1\n\n";
  if (data.has_objective_value) writeLabelledNumber(text, "# Objective Value ", data.objective_value);
  if (data.has_dual_bound) writeLabelledNumber(text, "# Dual Bound      ", data.dual_bound);
  if (data.has_objective_value && data.has_dual_bound) {
    text += "# Gap  ";
    appendFixed6(text, relativeGapPercent(data.objective_value, data.dual_bound));
    text += " %\n";
  }
  if (data.has_objective_value || data.has_dual_bound) text += '\n';
  writeSection(out, "# Dual Solution", data.has_duals, duals, data.write_zeros);
  writeSection(out, "# Reduced Costs", data.has_reduced_costs, reduced_costs, data.write_zeros);
  out.text() += "# Columns  ";
  // The count covers every entry, also those that write_zeros leaves out.
  appendInteger(out.text(), static_cast<std::int64_t>(values.size()));
  out.text() += '\n';
  writeEntries(out, values, data.write_zeros);
}

template <class Map>
bool namesFitOnLines(const Map& entries) {
  for (const auto& entry : entries) {
    if (entry.first.find('\n') != std::string::npos) return false;
  }
  return true;
}

// Runs `write` with the three maps in force, the source's when there is one. A name with a
// line feed would split its line and give its value to another name, so such a solution is
// refused (false) before anything is written.
template <class Write>
bool withSolutionMaps(const SolutionData& data, Write&& write) {
  auto use = [&](const auto& values, const auto& duals, const auto& reduced_costs) {
    if (!namesFitOnLines(values) || !namesFitOnLines(duals) || !namesFitOnLines(reduced_costs)) return false;
    return write(values, duals, reduced_costs);
  };
  if (!data.source) return use(data.values, data.duals, data.reduced_costs);
  SolutionSource& source = *data.source;
  ensure_solution_index(source);
  return use(source.values_by_name, source.duals_by_name, source.reduced_costs_by_name);
}
}  // namespace

bool writeSolutionFile(const SolutionData& data, const std::string& path) {
  return withSolutionMaps(data, [&](const auto& values, const auto& duals, const auto& reduced_costs) {
    return writeTextFile(path, [&](TextOutput& out) { writeSolution(out, data, values, duals, reduced_costs); });
  });
}

std::optional<std::string> writeSolutionText(const SolutionData& data) {
  std::optional<std::string> text;
  withSolutionMaps(data, [&](const auto& values, const auto& duals, const auto& reduced_costs) {
    text = collectText([&](TextOutput& out) { writeSolution(out, data, values, duals, reduced_costs); });
    return true;
  });
  return text;
}

}  // namespace velorium
