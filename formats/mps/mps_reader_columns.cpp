// MPS reader: the COLUMNS section.
//
// A large file has far more rows than fit in the processor's nearer caches, so finding the
// row of a pair, and then the row's record, are waits on memory. The reader therefore keeps
// each pair in a short queue: it hashes the row name at once and asks for the table slot in
// advance; some pairs later it looks the row up and asks for the row's record; when the
// queue is full it completes the oldest pair. So the waits of many pairs overlap. Pairs are
// completed in file order, all messages are written when a pair is completed, and the queue
// is emptied before any other message or the end of the section, so messages come in the
// order of the lines they name.

#include <cstdarg>

#include "core/log/logger.hpp"
#include "core/names/names_holder.hpp"
#include "formats/mps/mps_reader.hpp"

namespace velorium {

MpsSection MpsReader::readColumns() {
  const std::uint32_t section_stamp = ++columns_sections_;
  for (RowFill& fill : row_fill_) fill.last_column = -1;
  current_column_ = -1;
  current_column_name_ = {};
  resolved_column_ = -1;
  bool integer_block = false;
  for (;;) {
    if (!readLine()) return flushPendingEntries() ? endOfFile() : MpsSection::EndOfReading;
    MpsSection section = keywordOfLine();
    if (section != MpsSection::None) return flushPendingEntries() ? section : MpsSection::EndOfReading;
    const std::size_t count = line_.field_count;
    if (count < 2 || count > 5) return failInColumns("Ошибка в секции COLUMNS MPS файла\n");
    // Three or five fields: a column and one or two pairs. Two or four: the column is left
    // out, as fixed-format files do on the lines that continue a column.
    const std::size_t first_pair = count % 2 == 1 ? 1 : 0;
    if (line_.field(first_pair) == "'MARKER'") {
      std::string_view marker = line_.field(first_pair + 1);
      if (marker != (integer_block ? "'INTEND'" : "'INTORG'")) {
        return failInColumns("Ошибка интегрального маркера в секции COLUMNS MPS файла\n");
      }
      integer_block = !integer_block;
      continue;
    }
    std::int32_t column = current_column_;
    if (first_pair == 0) {
      if (column < 0) return failInColumns("Ошибка в секции COLUMNS MPS файла\n");
    } else {
      std::string_view name = line_.field(0);
      if (column < 0 || name != current_column_name_) {
        // A column is declared by its first line: its name goes into the pool here.
        const auto id = static_cast<std::int32_t>(get_names_holder()->find_or_add_name(name));
        column = column_of_name_id_.get(id);
        if (column < 0) column = addColumn(id);
      }
    }
    if (column != current_column_) {
      std::uint32_t& described = described_in_section_[static_cast<std::size_t>(column)];
      if (described == section_stamp) {
        return failInColumns("Повторение описания переменной [%s]\n", std::string(line_.field(0)).c_str());
      }
      described = section_stamp;
      current_column_ = column;
      current_column_name_ = get_names_holder()->name_view(model.variables[static_cast<std::size_t>(column)].name_id);
    }
    if (integer_block) {
      Variable& variable = model.variables[static_cast<std::size_t>(column)];
      variable.type = 2;
      variable.lower = 0.0;
      variable.upper = 1.0;
    }
    for (std::size_t pair = first_pair; pair + 1 < count; pair += 2) {
      if (!addColumnEntry(column, line_.field(pair), line_.field(pair + 1))) return MpsSection::EndOfReading;
    }
  }
}

bool MpsReader::addColumnEntry(std::int32_t column, std::string_view row_name, std::string_view value_field) {
  double value = 0.0;
  if (!parseMpsNumber(value_field, value)) {
    failInColumns("Поле \"%s\" не является числом\n", std::string(value_field).c_str());
    return false;
  }
  if (value == 0.0) return true;  // dropped before its row is even looked up
  const std::uint64_t hash = MpsNameIndex::hashOf(row_name);
  rows_by_name_.prefetch(hash);
  if (pending_count_ == kPendingDepth && !completeOldestEntry()) return false;
  PendingEntry& entry = pending_[(pending_first_ + pending_count_) % kPendingDepth];
  entry.row_hash = hash;
  entry.row_name.assign(row_name);
  entry.row = kRowNotLookedUp;
  entry.column = column;
  entry.value = value;
  entry.line_number = line_number_;
  ++pending_count_;
  // The pair queued kLookAhead pairs ago has had time for its slot to arrive: look its row up
  // now, and ask for the row's record, which completing the pair will need.
  if (pending_count_ > kLookAhead) lookUpRow(pending_[(pending_first_ + pending_count_ - 1 - kLookAhead) % kPendingDepth]);
  return true;
}

void MpsReader::lookUpRow(PendingEntry& entry) {
  entry.row = rows_by_name_.find(entry.row_name, entry.row_hash);
  if (entry.row >= 0) __builtin_prefetch(&row_fill_[static_cast<std::size_t>(entry.row)], 1);
}

bool MpsReader::completeOldestEntry() {
  PendingEntry& entry = pending_[pending_first_];
  pending_first_ = (pending_first_ + 1) % kPendingDepth;
  --pending_count_;
  if (entry.row == kRowNotLookedUp) lookUpRow(entry);
  auto columnName = [&] {
    return get_names_holder()->names_holder_get(model.variables[static_cast<std::size_t>(entry.column)].name_id);
  };
  if (entry.row == MpsNameIndex::kMissing) {
    warn("Столбец \"%s\" ссылается на несуществующую строку \"%s\" в секции COLUMNS MPS файла\n", columnName(),
         entry.row_name.c_str());
    return true;
  }
  if (entry.column != resolved_column_) {
    resolved_column_ = entry.column;
    resolved_column_has_objective_ = false;
  }
  bool repeated = false;
  if (entry.row == -2) {
    repeated = resolved_column_has_objective_;
    resolved_column_has_objective_ = true;
  } else {
    RowFill& fill = row_fill_[static_cast<std::size_t>(entry.row)];
    repeated = fill.last_column == entry.column;
    fill.last_column = entry.column;
    ++fill.term_count;
  }
  if (repeated) {
    pending_count_ = 0;  // the reading ends here; nothing queued after this pair counts
    line_number_ = entry.line_number;
    fail("Столбец \"%s\" уже присутствует в строке \"%s\" в секции COLUMNS MPS файла\n", columnName(),
         entry.row_name.c_str());
    return false;
  }
  if (entry.row == -2) {
    model.objective.linear_terms.push_back(LinearTerm{entry.column, entry.value});
  } else {
    // Dealt out to the rows once the file is read (finish()).
    row_entries_.push(entry.row, entry.column, entry.value);
  }
  return true;
}

bool MpsReader::flushPendingEntries() {
  while (pending_count_ > 0) {
    if (!completeOldestEntry()) return false;
  }
  return true;
}

MpsSection MpsReader::failInColumns(const char* format, ...) {
  if (!flushPendingEntries()) return MpsSection::EndOfReading;  // an earlier line failed first
  va_list args;
  va_start(args, format);
  logFormatted(log_, kLogLevelError, format, args);
  va_end(args);
  return failedAtLine();
}

}  // namespace velorium
