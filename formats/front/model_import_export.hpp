// The one object through which a model file is read into a flat model record or a flat model
// is written to a file.
#pragma once

#include <cstdint>
#include <memory>

#include "core/log/log_options.hpp"
#include "core/records/model.hpp"
#include "velorium/velorium.hpp"

namespace velorium {

// Chooses the format from the mode or the extension, gives each reader and writer a fresh
// default option set unless the caller passes log options (so they log to the console only,
// without time stamps), and keeps the model of the last successful import.
//
// Nothing leaves Import or Export as an exception: a failure that a reader or writer throws
// (out of memory, a model that refers to a missing variable) is logged as an error and gives
// false. A failed import keeps the previous model.
class ModelImportExport final : public IModelImportExport {
 public:
  bool Import(const char* path, std::uint8_t mode, VeloriumLogOptions* log_options) override;
  Model* GetModel() override { return model_.get(); }
  bool Export(const Model* model, const char* path, std::uint8_t mode, VeloriumLogOptions* log_options) override;
  void Release() override { delete this; }

 private:
  bool ImportLp(const char* path, const VeloriumLogOptions& log);
  bool ImportMps(const char* path, const VeloriumLogOptions& log);
  static bool ExportLp(const Model& model, const char* path, const VeloriumLogOptions& log);
  static bool ExportMps(const Model& model, const char* path, const VeloriumLogOptions& log);

  std::shared_ptr<Model> model_;
};

}  // namespace velorium
