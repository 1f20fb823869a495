// MPS reader: the ROWS section.
//
// Each row costs an entry in the pool of names and one in the row index, both at random
// places in large tables. A line's names are therefore hashed and their slots asked for when
// the line is read, and the row is completed (interned, checked for a repeated name, indexed)
// some lines later, in line order, so that the waits of many rows overlap. A repeated name is
// found by the same probe that indexes the row. The rows of a section become records at its
// end, when their number is known: records moved about as a growing table doubles cost more
// than the names read.

#include <limits>

#include "core/log/logger.hpp"
#include "core/names/names_holder.hpp"
#include "formats/mps/mps_reader.hpp"

namespace velorium {

namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
}

MpsSection MpsReader::readRows() {
  std::vector<std::int32_t> name_ids;
  const MpsSection next = readRowLines(name_ids);
  model.rows.reserve(model.rows.size() + name_ids.size());
  for (std::int32_t id : name_ids) {
    model.rows.emplace_back(-kInfinity, kInfinity);
    model.rows.back().expression.name_id = id;
  }
  return next;
}

MpsSection MpsReader::readRowLines(std::vector<std::int32_t>& name_ids) {
  // Every way out completes the lines queued before it, so that messages come in line order.
  for (;;) {
    if (!readLine()) {
      if (!flushPendingRows(name_ids)) return MpsSection::EndOfReading;
      if (!input_failed_) logLevelFormat(log_, kLogLevelError, "Непредвиденный выход в процессе разбора секции ROWS MPS файла\n");
      return MpsSection::EndOfReading;
    }
    const MpsSection section = keywordOfLine();
    if (section != MpsSection::None) return flushPendingRows(name_ids) ? section : MpsSection::EndOfReading;
    if (line_.field_count < 2) {
      return flushPendingRows(name_ids) ? fail("Неверный формат строки в разделе ROWS\n") : MpsSection::EndOfReading;
    }
    const std::string_view type = line_.field(0);
    const std::string_view name = line_.field(1);
    const bool objective = type == "N" && !objective_declared_;
    if (!objective && type.front() != 'G' && type.front() != 'E' && type.front() != 'L' && type.front() != 'N') {
      if (!flushPendingRows(name_ids)) return MpsSection::EndOfReading;
      return fail("В разделе ROWS MPS файла найдена сущность типа \"%s\"\n", std::string(type).c_str());
    }
    objective_declared_ = objective_declared_ || objective;
    if (pending_rows_count_ == kPendingRows && !completeOldestRow(name_ids)) return MpsSection::EndOfReading;
    PendingRow& row = pending_rows_[(pending_rows_first_ + pending_rows_count_++) % kPendingRows];
    row.name.assign(name);
    row.key = NameIndex::keyOfReadable(name);
    rows_by_name_.prefetch(row.key);
    const VeloriumNamesHolder::HashedName hashed = VeloriumNamesHolder::hash_name(name);
    names_pool().prefetch_name(hashed);
    row.pool_hash = hashed.spread_hash;
    row.type = type.front();
    row.objective = objective;
    row.line_number = line_number_;
  }
}

bool MpsReader::completeOldestRow(std::vector<std::int32_t>& name_ids) {
  const PendingRow& row = pending_rows_[pending_rows_first_];
  pending_rows_first_ = (pending_rows_first_ + 1) % kPendingRows;
  --pending_rows_count_;
  VeloriumNamesHolder& pool = names_pool();
  const auto id = static_cast<std::int32_t>(pool.find_or_add_name({row.name.view(), row.pool_hash}));
  const std::int32_t value = row.objective ? -2 : static_cast<std::int32_t>(row_specs_.size());
  if (!rows_by_name_.insertNew(pool.name_view(id), value, row.key)) {
    pending_rows_count_ = 0;  // the reading ends here
    line_number_ = row.line_number;
    // A warning by its level, but the reading ends all the same.
    warn("Линейные ограничения имеют одинаковые имена \"%s\"\n", row.name.text().c_str());
    failedAtLine();
    return false;
  }
  if (row.objective) {
    model.objective.name_id = id;
  } else {
    name_ids.push_back(id);
    row_specs_.push_back(RowSpec{row.type, false, 0.0, 0.0});
  }
  return true;
}

bool MpsReader::flushPendingRows(std::vector<std::int32_t>& name_ids) {
  while (pending_rows_count_ > 0) {
    if (!completeOldestRow(name_ids)) return false;
  }
  return true;
}

}  // namespace velorium
