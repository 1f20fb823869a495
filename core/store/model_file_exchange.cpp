#include "core/store/model_file_exchange.hpp"


#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "core/base/catalogue_error.hpp"
#include "core/base/kernel.hpp"
#include "core/general/general_expression_records.hpp"
#include "core/store/model_builder.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "formats/common/general_constraint_check.hpp"
#include "formats/common/file_failures.hpp"
#include "formats/front/error_recording_log.hpp"
#include "formats/front/model_file_format.hpp"
#include "formats/namemap/renamed_model.hpp"

namespace velorium::cpp_impl {

namespace {

constexpr const char* kNullPath = "null";
constexpr const char* kUnreadableGeneralConstraint = "Не удалось прочитать ограничение %s\n";
constexpr const char* kNoFormatToWrite = "Расширение [%s] не выбирает формат записи: .lp, .ilp или .mps";

// The extension of a path that chooses no format, in the text `format` ("" for another mode).
std::string extension_reason(const char* path, std::uint8_t mode, const char* format) {
  if (mode != kModelFileByExtension) return std::string();
  std::string text = formatString(format, std::filesystem::path(path).extension().string().c_str());
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// `head` followed by why; a reason that begins with `head` already says it all.
[[noreturn]] void fail_with_reason(std::string head, const std::string& reason) {
  if (reason.rfind(head + ": ", 0) == 0) {
    head = reason;
  } else if (!reason.empty()) {
    head += ": " + reason;
  }
  throw velorium_exception(-1, head.c_str());
}

// 117 with the path, and behind it why: what the reader logged as errors (the system's reason
// for a file that does not open among them), the system's reason when nothing was logged, or
// the extension when it chooses no format.
[[noreturn]] void fail_read(const char* path, std::uint8_t mode, std::string reason) {
  if (path != nullptr && *path != '\0') {
    if (chooseModelFileFormat(path, mode) == ModelFileFormat::none) {
      reason = extension_reason(path, mode, get_message(384));
    } else if (reason.empty()) {
      reason = unreadableFileReason(path);
    }
  }
  fail_with_reason(formatString(get_message(117), path ? path : kNullPath), reason);
}

// 118 with the path, and behind it why: what the writer logged as errors (the system's reason
// for a file or a name map that cannot be created or written whole), or the extension when it
// chooses no format.
[[noreturn]] void fail_write(const char* path, std::uint8_t mode, std::string reason) {
  if (path != nullptr && *path != '\0' && chooseModelFileFormat(path, mode) == ModelFileFormat::none) {
    reason = extension_reason(path, mode, kNoFormatToWrite);
  }
  fail_with_reason(formatString(get_message(118), path ? path : kNullPath), reason);
}

[[noreturn]] void fail_general_constraint(const GeneralConstraintRecord& record) {
  throw velorium_exception(-1, formatString(kUnreadableGeneralConstraint, record.name.c_str()).c_str());
}

// The builder's general constraints from the working model's records, in order; a record
// without nodes adds nothing.
void general_constraints_from_records(ModelBuilder& builder) {
  const Model& model = *builder.model;
  for (const GeneralConstraintRecord& record : model.general_constraints) {
    if (!record.nodes.empty() && findGeneralConstraintFault(record, model.variables.size()) != nullptr) {
      fail_general_constraint(record);
    }
  }
  builder.clear_general_constraints();
  builder.general_constraints.reserve(model.general_constraints.size());
  const std::weak_ptr<ModelBuilder> self = builder.weak_from_this();
  for (const GeneralConstraintRecord& record : model.general_constraints) {
    if (record.nodes.empty()) continue;
    GeneralExprPtr tree = general_expression_from_records(record.nodes, self);
    if (!tree || !tree->IsComplete()) fail_general_constraint(record);
    builder.append_general_constraint(
        std::make_shared<GeneralConstraint>(GeneralConstraint{std::move(tree), record.result_variable, record.name}));
  }
}

}  // namespace

void load_model(ModelBuilder& builder, IModelImportExport& front, const char* path, std::uint8_t mode,
                const VeloriumLogOptions* log) {
  ErrorRecordingLog recording(log);
  if (!front.Import(path, mode, recording.options()) || front.GetModel() == nullptr) {
    fail_read(path, mode, recording.errors());
  }
  *builder.model = std::move(*front.GetModel());
  builder.reset_tables();
  general_constraints_from_records(builder);
}

void export_flat_model(IModelImportExport& front, const Model& flat, const char* path, std::uint8_t mode,
                       const std::string& name_map_path, VeloriumLogOptions* log) {
  ErrorRecordingLog recording(log);
  bool written = false;
  if (chooseModelFileFormat(path, mode) == ModelFileFormat::none) {
    // No model file can be written: no map file either.
  } else if (name_map_path.empty()) {
    written = front.Export(&flat, path, mode, recording.options());
  } else {
    const RenamedModel renamed(&flat, &kernel_names_holder(), name_map_path, recording.options());
    written = renamed.nameMapWritten() && front.Export(renamed.model().get(), path, mode, recording.options());
    // A map without its model file would describe a file that is not there.
    std::error_code ignored;
    if (!written && renamed.nameMapWritten()) std::filesystem::remove(name_map_path, ignored);
  }
  if (!written) fail_write(path, mode, recording.errors());
}

void write_model(ModelBuilder& builder, IModelImportExport& front, const char* path, std::uint8_t mode,
                 const std::string& name_map_path, VeloriumLogOptions* log) {
  std::shared_ptr<Model> flat;
  std::vector<std::int32_t> variable_map;
  std::vector<std::int32_t> row_map;
  builder.build_model(flat, variable_map, row_map);
  export_flat_model(front, *flat, path, mode, name_map_path, log);
}

}  // namespace velorium::cpp_impl
