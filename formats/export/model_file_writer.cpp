#include "formats/export/model_file_writer.hpp"

#include "formats/common/file_failures.hpp"
#include "formats/export/rename_report.hpp"

namespace velorium {

bool openModelFile(TextOutput& out, const VeloriumLogOptions& log, const std::string& path) {
  if (out.open(path)) return true;
  logUnopenedFile(log, path, out.error());
  return false;
}

bool finishModelFile(TextOutput& out, const VeloriumLogOptions& log, const std::string& path) {
  if (out.finish()) return true;
  logUnwrittenFile(log, path, out.error());
  return false;
}

VeloriumStatus ModelFileWriter::writeModelToFile(const VeloriumLogOptions& log, const std::string& path,
                                                 const Model& model) {
  TextOutput out;
  if (!openModelFile(out, log, path)) return kVeloriumStatusError;
  ExportModel copy = buildExportModel(model, exportContent());
  writeFile(out, copy);
  if (!finishModelFile(out, log, path)) return kVeloriumStatusError;
  reportRenamedNames(copy, log);
  return kVeloriumStatusOk;
}

std::string ModelFileWriter::writeModelToText(const Model& model) {
  ExportModel copy = buildExportModel(model, exportContent());
  return collectText([&](TextOutput& out) { writeFile(out, copy); });
}

}  // namespace velorium
