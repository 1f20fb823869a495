#include "formats/engine/engine_lp_file.hpp"

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

#include "core/base/catalogue_error.hpp"
#include "core/names/names_holder.hpp"
#include "formats/common/number_text.hpp"
#include "formats/export/name_slots.hpp"
#include "formats/lp/lp_item_writer.hpp"
#include "formats/lp/lp_reader.hpp"

namespace velorium {

namespace {

// Arrays shorter than the counts say would be read past their end.
void checkShape(const VeloriumModel& model) {
  const auto columns = static_cast<std::size_t>(std::max(model.column_count, 0));
  const auto rows = static_cast<std::size_t>(std::max(model.row_count, 0));
  auto require = [](std::size_t size, std::size_t needed) {
    if (size < needed) throw_catalogue_error(110, static_cast<int>(size));
  };
  require(model.column_costs.size(), columns);
  require(model.column_lower.size(), columns);
  require(model.column_upper.size(), columns);
  require(model.row_lower.size(), rows);
  require(model.row_upper.size(), rows);
  if (!model.integrality.empty()) require(model.integrality.size(), columns);
}

class EngineLpWriter : private LpItemWriter {
 public:
  EngineLpWriter(const VeloriumModel& model, const ConstraintMatrix& rows, const VeloriumNamesHolder* pool)
      : model_(model), rows_(rows), pool_(pool) {
    composeColumnNames();
  }

  void write(TextOutput& out) {
    startLpItems(out);
    writeLpText("\\ File written by Velorium LP filereader");
    writeLpLineBreak();
    writeLpText(model_.sense == 1 ? "Minimize" : "Maximize");
    writeLpLineBreak();
    writeLpText(" obj:");
    writeObjective();
    writeLpLineBreak();
    writeLpText("\nSubject To");
    writeLpLineBreak();
    writeRows();
    writeLpText("\nBounds");
    writeLpLineBreak();
    writeBounds();
    if (!model_.integrality.empty()) writeIntegrality();
    writeLpText("End");
    writeLpLineBreak();
    finishLpItems();
  }

 private:
  const char* poolText(const std::vector<std::int32_t>& ids, std::size_t index) const {
    if (pool_ == nullptr || index >= ids.size()) return nullptr;
    return pool_->names_holder_get(ids[index]);
  }

  // " <name>", or " <prefix><index + 1>" when the id names nothing.
  void composeName(const std::vector<std::int32_t>& ids, std::size_t index, const char* prefix) {
    item_.assign(1, ' ');
    if (const char* text = poolText(ids, index)) {
      item_ += text;
    } else {
      item_ += prefix;
      appendInteger(item_, static_cast<std::int64_t>(index) + 1);
    }
  }

  // All column names, looked up once: terms name columns at random, and a slot fetched ahead
  // is much cheaper than a look-up in the pool.
  void composeColumnNames() {
    struct NamedColumn {
      std::string_view name;
    };
    const auto count = static_cast<std::size_t>(
        std::max({model_.column_count, rows_.column_count, model_.hessian.dimension, std::int32_t{0}}));
    std::vector<NamedColumn> names(count);
    for (std::size_t j = 0; j < count; ++j) {
      if (const char* text = poolText(model_.column_name_ids, j)) {
        names[j].name = text;
      } else {
        composeName(model_.column_name_ids, j, "x");
        names[j].name = generated_names_.emplace_back(item_, 1);
      }
    }
    column_names_ = std::make_unique<NameSlots>(names, 0);
  }

  // The item " <name>" of a column.
  void writeLpColumnName(std::size_t column) {
    item_.assign(1, ' ');
    item_ += (*column_names_)[column];
    writeLpText(item_);
  }

  void writeLpRowName(std::size_t row) {
    composeName(model_.row_name_ids, row, "con");
    writeLpText(item_);
  }

  void writeLpRowTerms(std::size_t row) {
    if (rows_.starts.size() <= row + 1) return;  // a matrix without entries
    const auto begin = static_cast<std::size_t>(rows_.starts[row]);
    const auto end = static_cast<std::size_t>(rows_.starts[row + 1]);
    for (std::size_t k = begin; k < end; ++k) column_names_->prefetch(static_cast<std::size_t>(rows_.indices[k]));
    int term_number = 0;
    for (std::size_t k = begin; k < end; ++k) {
      writeLpCoefficient(rows_.values[k], ++term_number);
      writeLpColumnName(static_cast<std::size_t>(rows_.indices[k]));
    }
  }

  void writeObjective() {
    int term_number = 0;
    for (std::size_t j = 0; j < static_cast<std::size_t>(model_.column_count); ++j) {
      if (model_.column_costs[j] == 0.0) continue;
      writeLpCoefficient(model_.column_costs[j], ++term_number);
      writeLpColumnName(j);
    }
    writeLpText(" ");
    if (model_.has_nonlinear_part) {
      writeLpText("+ [");
      writeHessianLowerTriangle();
      writeLpText("  ]/2 ");
    }
    if (model_.offset != 0.0) writeLpSignedNumber(model_.offset);
  }

  // Each entry (i, j) with i >= j once, off-diagonal ones doubled, as " +v xj * xi".
  void writeHessianLowerTriangle() {
    const HessianMatrix& hessian = model_.hessian;
    if (hessian.indices.empty() || hessian.starts.empty() || hessian.starts.back() == 0) return;
    for (std::size_t j = 0; j < static_cast<std::size_t>(hessian.dimension); ++j) {
      for (auto k = static_cast<std::size_t>(hessian.starts[j]); k < static_cast<std::size_t>(hessian.starts[j + 1]); ++k) {
        const auto i = static_cast<std::size_t>(hessian.indices[k]);
        double value = hessian.values[k];
        if (i < j || value == 0.0) continue;
        if (i != j) value *= 2.0;
        item_.assign(1, ' ');
        appendSignedGeneral(item_, value, 15);
        item_ += ' ';
        item_ += (*column_names_)[j];
        item_ += " * ";
        item_ += (*column_names_)[i];
        writeLpText(item_);
      }
    }
  }

  void writeRowLine(std::size_t row, const char* sense, double bound) {
    writeLpRowName(row);
    writeLpText(":");
    writeLpRowTerms(row);
    writeLpText(sense);
    writeLpNumber(bound);
    writeLpLineBreak();
  }

  void writeRows() {
    for (std::size_t r = 0; r < static_cast<std::size_t>(model_.row_count); ++r) {
      const double lower = model_.row_lower[r];
      const double upper = model_.row_upper[r];
      if (lower == upper) {
        writeRowLine(r, " = ", lower);
        continue;
      }
      if (lower > -INFINITY) writeRowLine(r, " >=", lower);
      if (upper < INFINITY) writeRowLine(r, " <=", upper);
      if (lower == -INFINITY && upper == INFINITY) writeRowLine(r, " >=", -INFINITY);
    }
  }

  void writeBounds() {
    for (std::size_t j = 0; j < static_cast<std::size_t>(model_.column_count); ++j) {
      const double lower = model_.column_lower[j];
      const double upper = model_.column_upper[j];
      if (lower == -INFINITY && upper == INFINITY) {
        writeLpColumnName(j);
        writeLpText(" Free");
      } else {
        writeLpNumber(lower);
        writeLpText(" <= ");
        writeLpColumnName(j);
        writeLpText(" <=");
        writeLpNumber(upper);
      }
      writeLpLineBreak();
    }
  }

  template <typename Predicate>
  void writeSection(const char* header, Predicate selects) {
    writeLpText(header);
    writeLpLineBreak();
    for (std::size_t j = 0; j < static_cast<std::size_t>(model_.column_count); ++j) {
      if (!selects(j)) continue;
      writeLpColumnName(j);
      writeLpLineBreak();
    }
  }

  void writeIntegrality() {
    const auto& integrality = model_.integrality;
    auto binaryBounds = [&](std::size_t j) { return model_.column_lower[j] == 0.0 && model_.column_upper[j] == 1.0; };
    writeSection("\nBinaries", [&](std::size_t j) { return integrality[j] == kEngineInteger && binaryBounds(j); });
    // A semi-integer column is listed here too, so that it reads back as semi-integer.
    writeSection("\nGenerals", [&](std::size_t j) {
      return (integrality[j] == kEngineInteger && !binaryBounds(j)) || integrality[j] == kEngineSemiInteger;
    });
    writeSection("\nSemi-continuous", [&](std::size_t j) {
      return integrality[j] == kEngineSemiContinuous || integrality[j] == kEngineSemiInteger;
    });
  }

  const VeloriumModel& model_;
  const ConstraintMatrix& rows_;
  const VeloriumNamesHolder* pool_;
  std::string item_;  // an item being composed
  std::unique_ptr<NameSlots> column_names_;
  std::deque<std::string> generated_names_;  // "x<j+1>" for columns without a name
};

// The row-wise copy that the rows are written from, once the model is known to hold together.
ConstraintMatrix rowwiseCopy(const VeloriumModel& model) {
  checkShape(model);
  const HessianMatrix& hessian = model.hessian;
  const auto dimension = static_cast<std::size_t>(std::max(hessian.dimension, 0));
  checkCompressedLines(hessian.starts, hessian.indices, hessian.values.size(), dimension, dimension);
  ConstraintMatrix rows = model.matrix;
  ensureRowwise(rows);
  const auto row_count = static_cast<std::size_t>(std::max(rows.row_count, 0));
  if (checkCompressedLines(rows.starts, rows.indices, rows.values.size(), row_count,
                           static_cast<std::size_t>(std::max(rows.column_count, 0))) == 0) {
    rows.starts.clear();
  }
  return rows;
}

}  // namespace

int readModelFile(const VeloriumLogOptions& log, const std::string& path, VeloriumModel& model) {
  std::shared_ptr<Model> read;
  const int result = readLpModelFile(log, path, read);
  if (result != 0 || !read) return result;
  model.fillFromModel(*read, &log);
  ensureColumnwise(model.matrix);
  return 0;
}

VeloriumStatus writeEngineModelToFile(const VeloriumLogOptions& log, const std::string& path,
                                      const VeloriumModel& model) {
  const ConstraintMatrix rows = rowwiseCopy(model);
  TextOutput out;
  if (!openModelFile(out, log, path)) return kVeloriumStatusError;
  EngineLpWriter(model, rows, get_names_holder()).write(out);
  return finishModelFile(out, log, path) ? kVeloriumStatusOk : kVeloriumStatusError;
}

std::string writeEngineModelToText(const VeloriumModel& model) {
  const ConstraintMatrix rows = rowwiseCopy(model);
  return collectText([&](TextOutput& out) { EngineLpWriter(model, rows, get_names_holder()).write(out); });
}

}  // namespace velorium
