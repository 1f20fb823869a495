// MPS reader: the COLUMNS section.
//
// A large file has far more names than fit in the processor's nearer caches, so finding a
// column's name in the pool, and a pair's row in the row index, are waits on memory. The reader therefore reads each line into short steps kept in a
// queue: the start of a column (its name asked for in the pool at once), and each pair (its
// row's slot asked for at once, the row looked up some steps later). When the queue is full
// the oldest step is completed; a row named twice in one column is found in a small set of
// the column's rows, not in per-row memory. So the waits of many steps
// overlap. Steps are completed in file order, all their messages are written then, and the
// queue is emptied before any other message or the end of the section, so messages come in
// the order of the lines they name. A row name longer than the row index keeps in its slots
// is compared with the stored text only when the step completes, the text asked for when
// the slot was read.

#include <cmath>
#include <cstdarg>

#include "core/log/logger.hpp"
#include "core/names/names_holder.hpp"
#include "formats/mps/mps_reader.hpp"

namespace velorium {

MpsSection MpsReader::readColumns() {
  columns_section_stamp_ = ++columns_sections_;
  columns_section_offset_ = input_->offset();
  columns_at_section_start_ = model.variables.size();
  column_tables_reserved_ = false;
  row_entries_.expectRows(model.rows.size());
  ColumnLineState state;
  bool& column_open = state.column_open;
  bool& column_marked = state.column_marked;
  bool& integer_block = state.integer_block;
  resolved_column_ = -1;
  if (!readColumnsInParallel(state)) return MpsSection::EndOfReading;
  for (;;) {
    if (!readLine()) return flushPendingSteps() ? endOfFile() : MpsSection::EndOfReading;
    MpsSection section = keywordOfLine();
    if (section != MpsSection::None) return flushPendingSteps() ? section : MpsSection::EndOfReading;
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
    if (first_pair == 0) {
      if (!column_open) return failInColumns("Ошибка в секции COLUMNS MPS файла\n");
    } else if (!column_open || !current_column_name_.equals(line_.field(0))) {
      // A column is declared by its first line, even when all its values are 0.
      std::string_view name = line_.field(0);
      const VeloriumNamesHolder::HashedName hashed = VeloriumNamesHolder::hash_name(name);
      names_pool().prefetch_name(hashed);
      PendingStep* step = nullptr;
      if (!queueStep(step)) return MpsSection::EndOfReading;
      step->kind = PendingStep::Kind::StartColumn;
      step->name.assign(name);
      step->name_hash = hashed.spread_hash;
      step->integer = integer_block;
      current_column_name_.assign(name);
      column_open = true;
      column_marked = integer_block;
    }
    // Inside a marker block every line makes its column integer with bounds [0, 1].
    if (integer_block && !column_marked) {
      PendingStep* step = nullptr;
      if (!queueStep(step)) return MpsSection::EndOfReading;
      step->kind = PendingStep::Kind::MarkInteger;
      column_marked = true;
    }
    for (std::size_t pair = first_pair; pair + 1 < count; pair += 2) {
      if (!addColumnEntry(line_.field(pair), line_.field(pair + 1))) return MpsSection::EndOfReading;
    }
  }
}

bool MpsReader::addColumnEntry(std::string_view row_name, std::string_view value_field) {
  double value = 0.0;
  if (!parseMpsLineNumber(value_field, value)) {
    failInColumns("Поле \"%s\" не является числом\n", std::string(value_field).c_str());
    return false;
  }
  if (!std::isfinite(value)) {
    failInColumns(refusedValueMessage(value, false), std::string(value_field).c_str(), "COLUMNS");
    return false;
  }
  if (value == 0.0) return true;  // dropped before its row is even looked up
  const NameIndex::Key key = NameIndex::keyOfReadable(row_name);
  rows_by_name_.prefetch(key);
  PendingStep* step = nullptr;
  if (!queueStep(step)) return false;
  step->kind = PendingStep::Kind::Pair;
  step->name.assign(row_name);
  step->row_key = key;
  step->row = kRowNotLookedUp;
  step->value = value;
  // The step queued kLookAhead steps ago has had time for its slot to arrive: look its row up now.
  if (pending_count_ > kLookAhead) lookUpRow(pending_[(pending_first_ + pending_count_ - 1 - kLookAhead) % kPendingDepth]);
  return true;
}

bool MpsReader::queueStep(PendingStep*& step) {
  if (pending_count_ == kPendingDepth && !completeOldestStep()) return false;
  step = &pending_[(pending_first_ + pending_count_) % kPendingDepth];
  step->line_number = line_number_;
  ++pending_count_;
  return true;
}

void MpsReader::lookUpRow(PendingStep& step) {
  if (step.kind != PendingStep::Kind::Pair || step.row != kRowNotLookedUp) return;
  step.row = rows_by_name_.findByHead(step.name.view(), step.row_key, step.row_slot);
}

bool MpsReader::completeOldestStep() {
  PendingStep& step = pending_[pending_first_];
  pending_first_ = (pending_first_ + 1) % kPendingDepth;
  --pending_count_;
  bool completed = false;
  switch (step.kind) {
    case PendingStep::Kind::StartColumn:
      completed = startColumn(step.name.view(), step.name_hash, step.integer, step.line_number);
      break;
    case PendingStep::Kind::MarkInteger:
      markColumnInteger();
      completed = true;
      break;
    case PendingStep::Kind::Pair:
      completed = completePair(step);
      break;
  }
  if (!completed) pending_count_ = 0;  // the reading ends here; nothing queued after this step counts
  return completed;
}

bool MpsReader::startColumn(std::string_view name, std::uint64_t name_hash, bool integer, std::size_t line_number) {
  const auto id = static_cast<std::int32_t>(names_pool().find_or_add_name({name, name_hash}));
  std::int32_t column = column_of_name_id_.get(id);
  if (column < 0) column = addColumn(id);
  std::uint32_t& described = described_in_section_[static_cast<std::size_t>(column)];
  if (described == columns_section_stamp_) {
    // The lines of one column must follow each other within a section.
    line_number_ = line_number;
    fail("Повторение описания переменной [%s]\n", std::string(name).c_str());
    return false;
  }
  described = columns_section_stamp_;
  resolved_column_ = column;
  resolved_column_rows_.clear();
  if (integer) markColumnInteger();
  return true;
}

void MpsReader::markColumnInteger() {
  Variable& variable = model.variables[static_cast<std::size_t>(resolved_column_)];
  variable.type = 2;
  variable.lower = 0.0;
  variable.upper = 1.0;
}

bool MpsReader::completePair(PendingStep& step) {
  lookUpRow(step);
  if (step.row == NameIndex::kCompareRest) step.row = rows_by_name_.findFrom(step.name.view(), step.row_key, step.row_slot);
  return applyPair(step.row, step.value, step.name.view(), step.line_number);
}

bool MpsReader::applyPair(std::int32_t row, double value, std::string_view row_name, std::size_t line_number) {
  const int admitted = admitPair(row, value, row_name, line_number);
  // Dealt out to the rows once the file is read (finish()).
  if (admitted > 0) row_entries_.push(row, resolved_column_, value);
  return admitted >= 0;
}

int MpsReader::admitPair(std::int32_t row, double value, std::string_view row_name, std::size_t line_number) {
  const std::int32_t column = resolved_column_;
  auto columnName = [&] {
    return names_pool().names_holder_get(model.variables[static_cast<std::size_t>(column)].name_id);
  };
  if (row == NameIndex::kMissing) {
    warn("Столбец \"%s\" ссылается на несуществующую строку \"%s\" в секции COLUMNS MPS файла\n", columnName(),
         std::string(row_name).c_str());
    return 0;
  }
  if (!resolved_column_rows_.insert(row)) {
    line_number_ = line_number;
    fail("Столбец \"%s\" уже присутствует в строке \"%s\" в секции COLUMNS MPS файла\n", columnName(), std::string(row_name).c_str());
    return -1;
  }
  if (row == -2) {
    model.objective.linear_terms.push_back(LinearTerm{column, value});
    return 0;
  }
  return 1;
}

bool MpsReader::flushPendingSteps() {
  while (pending_count_ > 0) {
    if (!completeOldestStep()) return false;
  }
  return true;
}

MpsSection MpsReader::failInColumns(const char* format, ...) {
  if (!flushPendingSteps()) return MpsSection::EndOfReading;  // an earlier line failed first
  va_list args;
  va_start(args, format);
  logFormatted(log_, kLogLevelError, format, args);
  va_end(args);
  return failedAtLine();
}

}  // namespace velorium
