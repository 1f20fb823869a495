#include "formats/front/model_import_export.hpp"

#include <exception>
#include <new>
#include <string>

#include "core/log/logger.hpp"
#include "core/options/velorium_options.hpp"
#include "formats/front/model_file_format.hpp"
#include "formats/lp/lp_reader.hpp"
#include "formats/lp/lp_writer.hpp"
#include "formats/mps/mps_reader.hpp"
#include "formats/mps/mps_writer.hpp"

namespace velorium {

namespace {

// Runs one format step with the caller's log options, or with those of a fresh default option
// set that lives for the call. Whatever the step throws is logged and gives false.
template <class Step>
bool runFormatStep(VeloriumLogOptions* caller_log, const char* path, Step&& step) noexcept {
  std::unique_ptr<VeloriumOptions> defaults;
  const VeloriumLogOptions* log = caller_log;
  try {
    if (!log) {
      defaults = std::make_unique<VeloriumOptions>();
      log = &defaults->log_options;
    }
    return step(*log);
  } catch (const std::exception& error) {
    if (log) {
      try {
        logLevelFormat(*log, kLogLevelError, "%s: %s\n", path, error.what());
      } catch (...) {
      }
    }
  } catch (...) {
  }
  return false;
}

}  // namespace

bool ModelImportExport::Import(const char* path, std::uint8_t mode, VeloriumLogOptions* log_options) {
  switch (chooseModelFileFormat(path, mode)) {
    case ModelFileFormat::lp:
      return runFormatStep(log_options, path, [&](const VeloriumLogOptions& log) { return ImportLp(path, log); });
    case ModelFileFormat::mps:
      return runFormatStep(log_options, path, [&](const VeloriumLogOptions& log) { return ImportMps(path, log); });
    case ModelFileFormat::none:
      break;
  }
  return false;
}

bool ModelImportExport::Export(const Model* model, const char* path, std::uint8_t mode,
                               VeloriumLogOptions* log_options) {
  if (model == nullptr) return false;
  switch (chooseModelFileFormat(path, mode)) {
    case ModelFileFormat::lp:
      return runFormatStep(log_options, path,
                           [&](const VeloriumLogOptions& log) { return ExportLp(*model, path, log); });
    case ModelFileFormat::mps:
      return runFormatStep(log_options, path,
                           [&](const VeloriumLogOptions& log) { return ExportMps(*model, path, log); });
    case ModelFileFormat::none:
      break;
  }
  return false;
}

bool ModelImportExport::ImportLp(const char* path, const VeloriumLogOptions& log) {
  std::shared_ptr<Model> read;
  if (readLpModelFile(log, path, read) != 0 || !read) return false;
  model_ = std::move(read);
  return true;
}

bool ModelImportExport::ImportMps(const char* path, const VeloriumLogOptions& log) {
  std::shared_ptr<Model> read = readMpsFile(log, path);
  if (!read) return false;
  model_ = std::move(read);
  return true;
}

bool ModelImportExport::ExportLp(const Model& model, const char* path, const VeloriumLogOptions& log) {
  return LpWriter().writeModelToFile(log, path, model) == kVeloriumStatusOk;
}

bool ModelImportExport::ExportMps(const Model& model, const char* path, const VeloriumLogOptions& log) {
  return writeModelAsMps(log, path, model) == kVeloriumStatusOk;
}

IModelImportExport* create_model_import_export() { return new (std::nothrow) ModelImportExport(); }

}  // namespace velorium
