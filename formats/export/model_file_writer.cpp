#include "formats/export/model_file_writer.hpp"

#include "core/log/logger.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "formats/export/rename_report.hpp"

namespace velorium {

bool openModelFile(TextOutput& out, const VeloriumLogOptions& log, const std::string& path) {
  if (out.open(path)) return true;
  logCatalogueMessage(log, kLogLevelError, 69, path.c_str());
  return false;
}

bool finishModelFile(TextOutput& out, const VeloriumLogOptions& log, const std::string& path) {
  if (out.finish()) return true;
  // The catalogue text is an error text without a line end; the log line needs one.
  logLevelFormat(log, kLogLevelError, "%s\n", formatString(get_message(118), path.c_str()).c_str());
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
