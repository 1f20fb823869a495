// Free-format MPS reader: the section loop and the sections of the linear model.
//
// The format as this reader understands it:
// - A line is cut into fields at ASCII white space; names hold no white space and the column
//   of a field does not matter. An empty line, and a line whose first byte is "*", is skipped.
//   A UTF-8 byte-order mark in front of the first line is skipped; a NUL byte outside a
//   comment line is an error.
// - A section starts with its keyword as the first field of a line that begins in its first
//   column. A line that begins with a blank or a tab is a data line in every section, so a
//   row or column named like a keyword (RHS, ENDATA, NAME) is safe in an indented line.
// - Every value field must be a number as a whole ("1.5", "-2e3", "inf"), read without the
//   process locale; anything else fails the reading with the line's number. NaN is refused
//   everywhere, and an infinite value everywhere but as a bound: a right-hand side, a range
//   or a column bound may be infinite, a coefficient (COLUMNS, the quadratic sections), the
//   objective's constant (RHS of the objective row) or a constant of GENCONS may not. A
//   right-hand side and a range that leave a row a bound of no value (rhs -inf with range
//   +inf on a G row, for instance) are refused too.
// - NAME: its value is not kept; the model is named after the file.
// - OBJSENSE: MAX, MAXIMIZE, MIN or MINIMIZE, on the keyword line or on the following lines;
//   any other word there is an error (a misspelt sense must not silently minimise). A MAX or
//   MIN line outside OBJSENSE changes nothing. Other lines outside any section are ignored.
// - ROWS: the first N row is the objective, later N rows are free rows; only the first
//   letter of the type counts ("NX" is a free row, "GE" a G row).
// - COLUMNS: "column row value [row value]"; a line with the column name left out (two or
//   four fields, as in fixed-format files) continues the current column. A column's lines
//   must be consecutive within a section. Pairs with the value 0 are dropped unread; a pair
//   for an unknown row is skipped with a warning. Columns between 'MARKER' 'INTORG' and
//   'MARKER' 'INTEND' lines are integer with bounds [0, 1].
// - RHS and RANGES: "vector row value [row value]", the vector name may be left out. An RHS
//   value c on the objective row gives the objective offset -c. A row's bounds follow from
//   its type, its right-hand side and its range whatever the order of the two sections:
//   G [rhs, rhs + |r|], L [rhs - |r|, rhs], E [rhs, rhs + r] or [rhs + r, rhs] by the sign of
//   r. A range on a free row is ignored with a warning; a second range for a row is an error.
// - BOUNDS: "type vector column [value]", the vector name may be left out. Types UP LO FX MI
//   PL BV LI UI FR SI SC. Once the file is read, a column that was given only an upper bound
//   gets the lower bound 0 (or -infinity when that upper bound is negative), and one given
//   only a lower bound gets the upper bound +infinity (lifting the 1 of an integer column).
//   Bounds are kept as read: an empty range or a fractional integer bound is not checked.
// - QSECTION, QMATRIX, QUADOBJ, QCMATRIX, INDICATORS and GENCONS: see
//   mps_reader_special_sections.cpp. CSECTION, DELAYEDROWS, MODELCUTS, SETS, SOS and the PWL
//   sections are refused.
// - Reading ends at ENDATA; a file without it gives no model. Sections may repeat and come
//   in any order, except that a name must be declared (ROWS, COLUMNS) before it is used; a
//   later COLUMNS section may describe a column again.
// - A file that cannot be opened (or a directory) is logged as the LP reader logs it: catalogue
//   message 69 with the path and the system's reason. Every other failure is logged, followed
//   by the number of the line it stopped at and the file's path. Running out of memory is a
//   failed reading too.
//
// Messages are fixed Russian texts, not catalogue entries.

#include "formats/mps/mps_reader.hpp"

#include <cstdarg>
#include <cmath>
#include <limits>
#include <new>

#include "core/log/logger.hpp"
#include "core/names/names_holder.hpp"
#include "core/text/text_utils.hpp"
#include "formats/common/file_failures.hpp"
#include "formats/common/line_reader.hpp"

namespace velorium {

namespace {

constexpr std::size_t kReadBufferSize = 262144;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What follows the last "/" or "\", or a drive letter and its colon.
std::string fileNamePart(const std::string& path) {
  std::size_t cut = path.find_last_of("/\\");
  if (cut != std::string::npos) return path.substr(cut + 1);
  if (path.size() >= 2 && path[1] == ':' && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
    return path.substr(2);
  }
  return path;
}


}  // namespace

std::shared_ptr<Model> readMpsFile(const VeloriumLogOptions& log, const std::string& path) {
  try {
    MpsReader reader(log);
    if (reader.readSections(path) != 0) return nullptr;
    auto model = std::make_shared<Model>(std::move(reader.model));
    model->source_path = path;
    model->name = fileNamePart(path);
    return model;
  } catch (const std::bad_alloc&) {
    try {
      logLevelFormat(log, kLogLevelError, "Недостаточно памяти для чтения MPS файла %s\n", path.c_str());
    } catch (...) {
    }
  } catch (const std::exception& error) {
    try {
      logLevelFormat(log, kLogLevelError, "Ошибка чтения MPS файла %s: %s\n", path.c_str(), error.what());
    } catch (...) {
    }
  }
  return nullptr;
}

MpsReader::MpsReader(const VeloriumLogOptions& log) : log_(log), column_of_name_id_(names_pool().size()) {}

// ---------------------------------------------------------------------------------------
// Input and messages

std::string_view MpsReader::withoutByteOrderMark(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
  return text;
}

bool MpsReader::failNulByte() {
  fail("Нулевой байт в строке MPS файла\n");
  input_failed_ = true;
  return false;
}

bool MpsReader::inputEnded() {
  if (input_->readFailed()) {
    logLevelFormat(log_, kLogLevelError, "Ошибка чтения MPS файла %s после строки %zu\n", path_.c_str(), line_number_);
    input_failed_ = true;
  }
  return false;
}

MpsSection MpsReader::keywordOfLine() const {
  return line_.indented ? MpsSection::None : findMpsSection(line_.field(0));
}

std::string MpsReader::lineText() const { return std::string(line_.text); }

MpsSection MpsReader::fail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  logFormatted(log_, kLogLevelError, format, args);
  va_end(args);
  return failedAtLine();
}

MpsSection MpsReader::failedAtLine() {
  logLevelFormat(log_, kLogLevelError, "Место ошибки: строка %zu MPS файла %s\n", line_number_, path_.c_str());
  return MpsSection::EndOfReading;
}

void MpsReader::warn(const char* format, ...) {
  va_list args;
  va_start(args, format);
  logFormatted(log_, kLogLevelWarning, format, args);
  va_end(args);
}

MpsSection MpsReader::failNumber(std::string_view field) {
  return fail("Поле \"%s\" не является числом\n", std::string(field).c_str());
}

const char* MpsReader::refusedValueMessage(double value, bool bound) {
  if (std::isnan(value)) return "Значение NaN в поле \"%s\" раздела %s недопустимо\n";
  if (!bound && std::isinf(value)) return "Бесконечное значение в поле \"%s\" раздела %s недопустимо\n";
  return nullptr;
}

bool MpsReader::readValue(std::string_view field, MpsSection section, bool bound, double& value) {
  if (!parseMpsLineNumber(field, value)) {
    failNumber(field);
    return false;
  }
  if (const char* refused = refusedValueMessage(value, bound)) {
    fail(refused, std::string(field).c_str(), mpsSectionKeyword(section));
    return false;
  }
  return true;
}

MpsSection MpsReader::endOfFile() {
  if (!input_failed_) logLevelFormat(log_, kLogLevelError, "MPS файл %s закончился без строки ENDATA\n", path_.c_str());
  return MpsSection::EndOfReading;
}

// ---------------------------------------------------------------------------------------
// Names

// Lines after ROWS and COLUMNS mostly name rows and columns in the order they were declared
// (a writer goes down its rows and columns): the one after the member that the last look-up
// found, and a few more, are compared with their stored names first, which lie next to each
// other in memory, before a look-up in a large table at a random place.
namespace {
constexpr std::size_t kMembersTriedInOrder = 4;
}

std::int32_t MpsReader::findRowIndex(std::string_view name) const {
  const VeloriumNamesHolder& pool = names_pool();
  for (std::size_t row = last_row_found_ + 1; row < model.rows.size() && row <= last_row_found_ + kMembersTriedInOrder; ++row) {
    if (pool.name_view(model.rows[row].expression.name_id) == name) {
      last_row_found_ = row;
      return static_cast<std::int32_t>(row);
    }
  }
  std::int32_t found = rows_by_name_.find(name);
  if (found >= 0) last_row_found_ = static_cast<std::size_t>(found);
  return found == NameIndex::kMissing ? -1 : found;
}

Constraint* MpsReader::findRow(std::string_view name) {
  std::int32_t index = findRowIndex(name);
  return index >= 0 ? &model.rows[static_cast<std::size_t>(index)] : nullptr;
}

std::int32_t MpsReader::findColumnIndex(std::string_view name) const {
  const VeloriumNamesHolder& pool = names_pool();
  // From the column the last look-up found: several lines often name one column.
  for (std::size_t column = last_column_found_; column < model.variables.size() && column <= last_column_found_ + kMembersTriedInOrder;
       ++column) {
    if (pool.name_view(model.variables[column].name_id) == name) {
      last_column_found_ = column;
      return static_cast<std::int32_t>(column);
    }
  }
  const std::int32_t found = column_of_name_id_.get(pool.find_name(name));
  if (found >= 0) last_column_found_ = static_cast<std::size_t>(found);
  return found;
}

std::int32_t MpsReader::addColumn(std::int32_t name_id) {
  if (model.variables.size() == model.variables.capacity() && !column_tables_reserved_) reserveColumnTables();
  auto index = static_cast<std::int32_t>(model.variables.size());
  model.variables.push_back(Variable{0, 0.0, kInfinity, name_id});
  bounds_given_.push_back(0);
  described_in_section_.push_back(0);
  column_of_name_id_.set(name_id, index);
  return index;
}

// Growing the column tables by doubling copies them and touches twice their memory, whose
// first touch is much of the cost of reading a large file. Once a COLUMNS section has shown
// how many bytes a column takes, the tables get room for as many columns as the rest of the
// file would hold at that rate (the later sections count as columns too, so the room is
// rather more than needed: room never written costs address space only).
void MpsReader::reserveColumnTables() {
  constexpr std::size_t kColumnsToMeasure = 4096;
  const std::size_t seen = model.variables.size() - columns_at_section_start_;
  const std::uint64_t offset = threaded_offset_ != 0 ? threaded_offset_ : input_->offset();
  if (seen < kColumnsToMeasure || offset <= columns_section_offset_ || input_->fileSize() <= offset) return;
  column_tables_reserved_ = true;
  const double rate = static_cast<double>(seen) / static_cast<double>(offset - columns_section_offset_);
  const double more = rate * static_cast<double>(input_->fileSize() - offset);
  if (more < static_cast<double>(model.variables.size()) * 0.5 || more > 4e9) return;  // doubling does as well
  const auto columns = model.variables.size() + static_cast<std::size_t>(more);
  const double objective_share = static_cast<double>(model.objective.linear_terms.size()) / static_cast<double>(model.variables.size());
  try {
    model.variables.reserve(columns);
    bounds_given_.reserve(columns);
    described_in_section_.reserve(columns);
    model.objective.linear_terms.reserve(static_cast<std::size_t>(objective_share * static_cast<double>(columns)));
  } catch (const std::bad_alloc&) {
    // Only room asked for ahead: the tables grow as they need to.
  }
}

// ---------------------------------------------------------------------------------------
// The section loop

int MpsReader::readSections(const std::string& path) {
  path_ = path;
  LineReader reader(path, kReadBufferSize, true);
  if (!reader.isOpen()) {
    logUnopenedFile(log_, path, reader.openError());
    return 1;
  }
  input_ = &reader;
  MpsSection state = MpsSection::None;
  for (;;) {
    switch (state) {
      case MpsSection::EndData:
        finish();
        return 0;
      case MpsSection::EndOfReading:
        return 1;
      case MpsSection::DelayedRows:
      case MpsSection::ModelCuts:
      case MpsSection::PwlObj:
      case MpsSection::PwlNam:
      case MpsSection::PwlCon:
        fail("MPS парсер не может прочитать секцию %s\n", mpsSectionKeyword(state));
        return 1;
      case MpsSection::CSection:
        fail("Конусы (Cones) не поддерживаются Velorium\n");
        return 1;
      case MpsSection::Sets:
      case MpsSection::Sos:
        fail("SOS не поддерживаются Velorium\n");
        return 1;
      case MpsSection::ObjSense:
        state = readObjectiveSense();
        break;
      case MpsSection::Rows:
        state = readRows();
        break;
      case MpsSection::Columns:
        state = readColumns();
        break;
      case MpsSection::Rhs:
        state = readRowValues(state, &MpsReader::applyRhs);
        break;
      case MpsSection::Ranges:
        state = readRowValues(state, &MpsReader::applyRange);
        break;
      case MpsSection::Bounds:
        state = readBounds();
        break;
      case MpsSection::QSection:
      case MpsSection::QMatrix:
      case MpsSection::QuadObj:
      case MpsSection::QcMatrix:
        state = readQuadraticSection(state);
        break;
      case MpsSection::Indicators:
        state = readIndicators();
        break;
      case MpsSection::GenCons:
        state = readGeneralConstraints();
        break;
      default:  // outside any section, NAME, or a MAX or MIN line outside OBJSENSE
        state = readOutsideSections();
        break;
    }
  }
}

MpsSection MpsReader::readOutsideSections() {
  if (!readLine()) return endOfFile();
  return keywordOfLine();  // a line that is no keyword is ignored here
}

// ---------------------------------------------------------------------------------------
// OBJSENSE

bool MpsReader::applySense(std::string_view field) {
  if (field == "MAX" || field == "MAXIMIZE") {
    model.objective_sense = 1;
  } else if (field == "MIN" || field == "MINIMIZE") {
    model.objective_sense = 0;
  } else {
    return false;
  }
  return true;
}

MpsSection MpsReader::readObjectiveSense() {
  // The keyword line may carry the sense itself.
  if (line_.field_count >= 2 && !applySense(line_.field(1))) {
    return fail("Неизвестное направление оптимизации \"%s\" в секции OBJSENSE\n", std::string(line_.field(1)).c_str());
  }
  for (;;) {
    if (!readLine()) return endOfFile();
    MpsSection section = keywordOfLine();
    if (section != MpsSection::None && section != MpsSection::Max && section != MpsSection::Min) return section;
    if (!applySense(line_.field(0))) {
      return fail("Неизвестное направление оптимизации \"%s\" в секции OBJSENSE\n", std::string(line_.field(0)).c_str());
    }
  }
}

// ---------------------------------------------------------------------------------------
// RHS and RANGES: "vector row value [row value]", the vector name may be left out.
MpsSection MpsReader::readRowValues(MpsSection section,
                                    bool (MpsReader::*apply)(std::string_view, std::string_view, double)) {
  for (;;) {
    if (!readLine()) return endOfFile();
    MpsSection next = keywordOfLine();
    if (section == MpsSection::Rhs && next == MpsSection::Rhs) {
      // An unindented first field "RHS" names the vector; alone on its line it repeats the keyword.
      if (line_.field_count == 1) continue;
      next = MpsSection::None;
    }
    if (next != MpsSection::None) return next;
    const std::size_t count = line_.field_count;
    if (count < 2 || count > 5) return fail("Неверный формат строки в разделе %s\n", mpsSectionKeyword(section));
    for (std::size_t pair = count % 2 == 1 ? 1 : 0; pair + 1 < count; pair += 2) {
      double value = 0.0;
      if (!readValue(line_.field(pair + 1), section, true, value)) return MpsSection::EndOfReading;
      if (!(this->*apply)(line_.field(pair), line_.field(pair + 1), value)) return MpsSection::EndOfReading;
    }
  }
}

bool MpsReader::applyRhs(std::string_view row_name, std::string_view value_field, double value) {
  const std::int32_t row = findRowIndex(row_name);
  if (row == -2) {
    if (std::isinf(value)) {
      fail("Бесконечная константа целевой функции в поле \"%s\" раздела RHS недопустима\n",
           std::string(value_field).c_str());
      return false;
    }
    model.objective.constant -= value;
  } else if (row >= 0) {
    RowSpec& spec = row_specs_[static_cast<std::size_t>(row)];
    spec.rhs = value;
    return checkRowBounds(row_name, spec);
  } else {
    fail("Ссылка на несуществующее ограничение \"%s\" в разделе RHS\n", std::string(row_name).c_str());
    return false;
  }
  return true;
}

bool MpsReader::applyRange(std::string_view row_name, std::string_view /*value_field*/, double value) {
  const std::int32_t row = findRowIndex(row_name);
  if (row < 0) {
    fail("Ссылка на несуществующее ограничение \"%s\" в разделе RANGES\n", std::string(row_name).c_str());
    return false;
  }
  RowSpec& spec = row_specs_[static_cast<std::size_t>(row)];
  if (spec.type == 'N') {
    warn("Диапазон свободного ограничения \"%s\" в разделе RANGES не учитывается\n", std::string(row_name).c_str());
    return true;
  }
  if (spec.has_range) {
    fail("Ограничение \"%s\" получает второй диапазон в разделе RANGES\n", std::string(row_name).c_str());
    return false;
  }
  spec.has_range = true;
  spec.range = value;
  return checkRowBounds(row_name, spec);
}

// Checked as soon as both are known, so that the message names the later of the two lines.
bool MpsReader::checkRowBounds(std::string_view row_name, const RowSpec& spec) {
  double lower = 0.0;
  double upper = 0.0;
  rowBoundsOf(spec, lower, upper);
  if (!std::isnan(lower) && !std::isnan(upper)) return true;
  fail("Правая часть %g и диапазон %g не задают границ ограничения \"%s\"\n", spec.rhs, spec.range,
       std::string(row_name).c_str());
  return false;
}

// ---------------------------------------------------------------------------------------
// BOUNDS

namespace {

enum class BoundType { Up, Lo, Fx, Mi, Pl, Bv, Li, Ui, Fr, Si, Sc, Unknown };

BoundType boundTypeOf(std::string_view field) {
  static constexpr std::pair<std::string_view, BoundType> kTypes[] = {
      {"UP", BoundType::Up}, {"LO", BoundType::Lo}, {"FX", BoundType::Fx}, {"MI", BoundType::Mi},
      {"PL", BoundType::Pl}, {"BV", BoundType::Bv}, {"LI", BoundType::Li}, {"UI", BoundType::Ui},
      {"FR", BoundType::Fr}, {"SI", BoundType::Si}, {"SC", BoundType::Sc}};
  for (const auto& [name, type] : kTypes) {
    if (field == name) return type;
  }
  return BoundType::Unknown;
}

bool boundTypeHasValue(BoundType type) {
  return type != BoundType::Mi && type != BoundType::Pl && type != BoundType::Bv && type != BoundType::Fr;
}

}  // namespace

MpsSection MpsReader::readBounds() {
  for (;;) {
    if (!readLine()) return endOfFile();
    MpsSection section = keywordOfLine();
    if (section != MpsSection::None) return section;
    const std::size_t count = line_.field_count;
    if (count < 2) return fail("Записи в секции BOUNDS MPS файла имеют недостаточное количество столбцов\n");
    std::string_view type_field = line_.field(0);
    const BoundType type = boundTypeOf(type_field);
    if (type == BoundType::Unknown) return fail("Записи в секции BOUNDS MPS файла имеет тип \"%s\"\n", std::string(type_field).c_str());
    const bool has_value = boundTypeHasValue(type);
    // "type vector column [value]"; fixed-format files may leave the vector name out.
    std::size_t column_field = 2;
    if (count == 2) {
      if (has_value) return fail("Записи в секции BOUNDS MPS файла имеют недостаточное количество столбцов\n");
      column_field = 1;
    } else if (count == 3 && has_value) {
      double probe = 0.0;
      if (findColumnIndex(line_.field(1)) >= 0 && parseMpsLineNumber(line_.field(2), probe)) column_field = 1;
    }
    std::string_view column_name = line_.field(column_field);
    const std::int32_t column = findColumnIndex(column_name);
    if (column < 0) return fail("Записи в секции BOUNDS MPS ссылаются на несуществующую переменную %s\n", std::string(column_name).c_str());
    double value = 0.0;
    if (has_value) {
      if (column_field + 1 >= count) return fail("Для записи %s не указана граница в разделе BOUNDS\n", std::string(type_field).c_str());
      if (!readValue(line_.field(column_field + 1), MpsSection::Bounds, true, value)) return MpsSection::EndOfReading;
    }
    Variable& variable = model.variables[static_cast<std::size_t>(column)];
    std::uint8_t& given = bounds_given_[static_cast<std::size_t>(column)];
    switch (type) {
      case BoundType::Up:
        variable.upper = value;
        given |= kUpperGiven;
        break;
      case BoundType::Lo:
        variable.lower = value;
        given |= kLowerGiven;
        break;
      case BoundType::Fx:
        variable.lower = value;
        variable.upper = value;
        given |= kLowerGiven | kUpperGiven;
        break;
      case BoundType::Mi:
        variable.lower = -kInfinity;
        given |= kLowerGiven;
        break;
      case BoundType::Pl:
        variable.upper = kInfinity;
        given |= kUpperGiven;
        break;
      case BoundType::Bv:
        variable.type = 1;
        variable.lower = 0.0;
        variable.upper = 1.0;
        given |= kLowerGiven | kUpperGiven;
        break;
      case BoundType::Li:
        variable.type = 2;
        variable.lower = value;
        given |= kLowerGiven;
        break;
      case BoundType::Ui:
        variable.type = 2;
        variable.upper = value;
        given |= kUpperGiven;
        break;
      case BoundType::Fr:
        variable.lower = -kInfinity;
        variable.upper = kInfinity;
        given |= kLowerGiven | kUpperGiven;
        break;
      case BoundType::Si:
        variable.type = 4;
        variable.upper = value;
        given |= kUpperGiven;
        break;
      case BoundType::Sc:
        variable.type = 3;
        variable.upper = value;
        given |= kUpperGiven;
        break;
      case BoundType::Unknown:
        break;
    }
  }
}

// ---------------------------------------------------------------------------------------
// End of the file

void MpsReader::finish() {
  applyRowBounds();
  applyLoneColumnBounds();
  // The per-read tables are no longer needed; their room goes to the rows' terms.
  rows_by_name_ = NameIndex();
  column_of_name_id_ = MpsPoolIdMap(0);
  row_specs_ = std::vector<RowSpec>();
  bounds_given_ = std::vector<std::uint8_t>();
  described_in_section_ = std::vector<std::uint32_t>();
  dealOutRowTerms();
}

void MpsReader::rowBoundsOf(const RowSpec& spec, double& lower, double& upper) {
  const double range = spec.has_range ? spec.range : 0.0;
  switch (spec.type) {
    case 'G':
      lower = spec.rhs;
      upper = spec.has_range ? spec.rhs + std::fabs(range) : kInfinity;
      break;
    case 'L':
      lower = spec.has_range ? spec.rhs - std::fabs(range) : -kInfinity;
      upper = spec.rhs;
      break;
    case 'E':
      lower = range < 0 ? spec.rhs + range : spec.rhs;
      upper = range < 0 ? spec.rhs : spec.rhs + range;
      break;
    default:
      lower = -kInfinity;
      upper = kInfinity;
      break;
  }
}

void MpsReader::applyRowBounds() {
  for (std::size_t row = 0; row < row_specs_.size(); ++row) {
    Constraint& constraint = model.rows[row];
    rowBoundsOf(row_specs_[row], constraint.lower, constraint.upper);
  }
}

void MpsReader::applyLoneColumnBounds() {
  for (std::size_t column = 0; column < bounds_given_.size(); ++column) {
    Variable& variable = model.variables[column];
    if (bounds_given_[column] == kLowerGiven) {
      variable.upper = kInfinity;
    } else if (bounds_given_[column] == kUpperGiven) {
      variable.lower = variable.upper >= 0.0 ? 0.0 : -kInfinity;
    }
  }
}

void MpsReader::dealOutRowTerms() {
  // Block by block: each row of the block gets its exact room, and the block's entries are
  // written through a cursor per row.
  std::vector<LinearTerm*> cursor;
  std::size_t block_first_row = 0;
  row_entries_.drain(
      [&](std::int32_t first_row, const std::vector<std::uint32_t>& counts) {
        block_first_row = static_cast<std::size_t>(first_row);
        cursor.assign(counts.size(), nullptr);
        for (std::size_t i = 0; i < counts.size() && block_first_row + i < model.rows.size(); ++i) {
          LinearTerms& terms = model.rows[block_first_row + i].expression.linear_terms;
          terms.resize(counts[i]);
          cursor[i] = terms.data();
        }
      },
      [&](std::int32_t row, std::int32_t column, double value) {
        *cursor[static_cast<std::size_t>(row) - block_first_row]++ = LinearTerm{column, value};
      });
}

}  // namespace velorium
