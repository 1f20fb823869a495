// The common frame of the LP and MPS writers: open the file, build the export copy, print it,
// close the file, report the renamed names.
#pragma once

#include <string>

#include "core/log/log_options.hpp"
#include "core/records/model.hpp"
#include "formats/common/text_output.hpp"
#include "formats/export/export_model.hpp"

namespace velorium {

// A writer's result: 0 the file was written, -1 it was not.
using VeloriumStatus = int;
inline constexpr VeloriumStatus kVeloriumStatusOk = 0;
inline constexpr VeloriumStatus kVeloriumStatusError = -1;

// The two ends of writing a model file, with their failures logged as errors: opening `path`
// (catalogue message 69 when it cannot be created) and finishing it (118 when it could not be
// written whole), each with the system's reason. Each gives true on success.
bool openModelFile(TextOutput& out, const VeloriumLogOptions& log, const std::string& path);
bool finishModelFile(TextOutput& out, const VeloriumLogOptions& log, const std::string& path);

class ModelFileWriter {
 public:
  virtual ~ModelFileWriter() = default;

  // Writes `model` to `path` (created, or emptied when it exists) and returns 0. When the
  // file cannot be created: catalogue message 69 as an error, nothing built, -1. When the
  // file cannot be written whole (a full disk): message 118 as an error, -1. The renamed
  // names are logged after the file is closed. A model that refers to a missing variable
  // throws velorium_exception before anything is written.
  VeloriumStatus writeModelToFile(const VeloriumLogOptions& log, const std::string& path, const Model& model);

  // The text that writeModelToFile puts in the file.
  std::string writeModelToText(const Model& model);

 protected:
  virtual ExportContent exportContent() const = 0;
  // Prints the whole file.
  virtual void writeFile(TextOutput& out, const ExportModel& copy) = 0;
};

}  // namespace velorium
