// Writes a flat model as a free-format MPS file that the MPS reader reads back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/log/log_options.hpp"
#include "core/records/model.hpp"
#include "formats/export/model_file_writer.hpp"

namespace velorium {

class MpsWriter : public ModelFileWriter {
 protected:
  ExportContent exportContent() const override { return ExportContent::with_column_entries; }
  void writeFile(TextOutput& out, const ExportModel& copy) override;
};

// Writes `model` to `path` as MPS: 0 written, -1 not (see ModelFileWriter::writeModelToFile).
VeloriumStatus writeModelAsMps(const VeloriumLogOptions& log, const std::string& path, const Model& model);

// The sections, each printing its header before its first line.
// COLUMNS, with integer marker blocks; a column without coefficients gets a 0 objective line
// (so that the reader declares it) unless `write_empty_columns` is false.
void writeMpsColumns(TextOutput& out, const ExportModel& copy, bool write_empty_columns);
// BOUNDS; skips columns without coefficients unless `consider_empty_columns`.
void writeMpsBounds(TextOutput& out, const ExportModel& copy, bool consider_empty_columns);
// The bound lines of one column.
void writeMpsBound(std::string& out, double lower, double upper, std::uint8_t kind, std::string_view name);
void writeMpsIndicators(TextOutput& out, const ExportModel& copy);
// QMATRIX for the objective (`row_name` null), QCMATRIX for a row.
void writeMpsQuadratic(TextOutput& out, const ExportModel& copy, const Expression& expression,
                       const std::string_view* row_name);
void writeMpsGeneralConstraints(TextOutput& out, const ExportModel& copy);

}  // namespace velorium
