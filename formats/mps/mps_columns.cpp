// The COLUMNS section: most of an MPS file, and the part whose speed counts. Its lines run
// down the columns, so each line looks a row name up at random; the names are kept padded in
// small fixed slots, fetched a few lines ahead of use.
#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <vector>

#include "formats/export/name_slots.hpp"
#include "formats/mps/mps_lines.hpp"
#include "formats/mps/mps_writer.hpp"

namespace velorium {

namespace {

using namespace mps_lines;

// Prints the lines "    <column>  <row>  <value>" of one column's entries. `following_rows`
// holds the rows of the entries that come after this column's, to be fetched ahead. Lines
// are composed in `scratch`, a block at a time, and appended to the output in one piece.
void writeEntryLines(TextOutput& out, std::string_view column_name, const NameSlots& rows, ColumnEntries entries,
                     std::span<const std::int32_t> following_rows, std::vector<char>& scratch) {
  constexpr std::size_t kBlock = 4096;
  constexpr std::size_t kAhead = 32;  // how many lines ahead a row name is fetched
  std::string prefix = "    ";
  appendPadded(prefix, column_name);
  prefix += "  ";
  // The name copy may run 15 characters past the name; a number takes at most 24.
  const std::size_t line_bound = prefix.size() + rows.longest() + 15 + 2 + kGeneralTextCapacity + 1;
  scratch.resize(std::max(scratch.size(), std::min(entries.size(), kBlock) * line_bound));
  for (std::size_t begin = 0; begin < entries.size(); begin += kBlock) {
    std::size_t end = std::min(entries.size(), begin + kBlock);
    char* p = scratch.data();
    for (std::size_t k = begin; k < end; ++k) {
      // Columns are short, so the lines ahead are mostly those of the next columns.
      std::size_t ahead = k + kAhead;
      if (ahead < entries.size()) {
        rows.prefetch(static_cast<std::size_t>(entries.rows[ahead]));
      } else if (ahead - entries.size() < following_rows.size()) {
        rows.prefetch(static_cast<std::size_t>(following_rows[ahead - entries.size()]));
      }
      std::memcpy(p, prefix.data(), prefix.size());
      p = rows.copy(p + prefix.size(), static_cast<std::size_t>(entries.rows[k]));
      *p++ = ' ';
      *p++ = ' ';
      p = writeGeneral(p, withoutMinusZero(entries.coefficients[k]), kPrecision);
      *p++ = '\n';
    }
    out.text().append(scratch.data(), p);
    out.flushIfFull();
  }
}

}  // namespace

void writeMpsColumns(TextOutput& out, const ExportModel& copy, bool write_empty_columns) {
  NameSlots row_names(copy.rows, kNameWidth);
  std::vector<char> scratch;
  out.text() += "COLUMNS\n";
  int marker = 0;
  bool integer_block = false;
  for (std::size_t j = 0; j < copy.columns.size(); ++j) {
    const ExportColumn& column = copy.columns[j];
    ColumnEntries entries = copy.entries(j);
    bool empty = entries.empty() && column.objective_coefficient == 0.0;
    if (empty && !write_empty_columns) continue;
    bool integer = column.kind == kExportInteger;
    if (integer != integer_block) {
      writeMarkerLine(out.text(), marker++, integer);
      integer_block = integer;
    }
    // A column without coefficients still gets a line, so that the reader declares it.
    if (empty || column.objective_coefficient != 0.0) {
      writePairLine(out.text(), column.name, copy.objective.name, column.objective_coefficient);
    }
    std::span<const std::int32_t> all_rows = copy.allEntryRows();
    auto following = static_cast<std::size_t>(entries.rows.data() + entries.size() - all_rows.data());
    writeEntryLines(out, column.name, row_names, entries, all_rows.subspan(following), scratch);
  }
  if (integer_block) writeMarkerLine(out.text(), marker, false);
}

}  // namespace velorium
