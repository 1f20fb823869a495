// Reading and writing model files, and start values from a solution file.
#include <cmath>
#include <memory>
#include <string>

#include "core/base/catalogue_error.hpp"
#include "core/base/kernel.hpp"
#include "core/base/number_checks.hpp"
#include "core/model/model_impl.hpp"
#include "core/store/model_builder.hpp"
#include "core/store/model_file_exchange.hpp"
#include "core/text/message_catalogue.hpp"
#include "formats/front/model_file_format.hpp"
#include "formats/solution/solution_reader.hpp"

namespace velorium::cpp_impl {

namespace {

struct ReleaseFront {
  void operator()(IModelImportExport* front) const noexcept { front->Release(); }
};
using FrontPtr = std::unique_ptr<IModelImportExport, ReleaseFront>;

// The import/export object of the core object; null with the reason stored in `model`.
template <class Model>
FrontPtr get_import_export(Model& model) noexcept {
  const Kernel* kernel = current_kernel();
  if (!kernel) {
    model.SetError(kKernelInitErrorText, -1);
    return nullptr;
  }
  FrontPtr front(kernel->create_model_import_export());
  if (!front) model.SetError(get_message(393), -1);
  return front;
}

}  // namespace

void ModelImpl::read_model_file(const char* file_name, std::uint8_t mode) noexcept {
  clear_error();
  FrontPtr front = get_import_export(*this);
  if (!front) return;
  guarded([&] {
    auto fresh = std::make_shared<ModelBuilder>();
    load_model(*fresh, *front, file_name, mode, &options.log_options);
    builder->remove_all();
    builder = std::move(fresh);
  });
}

void ModelImpl::write_model_file(const char* file_name, std::uint8_t mode, const char* name_mapping_file) noexcept {
  clear_error();
  FrontPtr front = get_import_export(*this);
  if (!front) return;
  guarded([&] {
    write_model(*builder, *front, file_name, mode, name_mapping_file ? name_mapping_file : "", &options.log_options);
  });
}

void ModelImpl::Read(const char* file_name) { read_model_file(file_name, kModelFileByExtension); }

void ModelImpl::ReadMps(const char* file_name) { read_model_file(file_name, kModelFileMps); }

void ModelImpl::ReadLp(const char* file_name) { read_model_file(file_name, kModelFileLp); }

void ModelImpl::Write(const char* file_name, const char* name_mapping_file) {
  write_model_file(file_name, kModelFileByExtension, name_mapping_file);
}

void ModelImpl::WriteMps(const char* file_name, const char* name_mapping_file) {
  write_model_file(file_name, kModelFileMps, name_mapping_file);
}

void ModelImpl::WriteLp(const char* file_name, const char* name_mapping_file) {
  write_model_file(file_name, kModelFileLp, name_mapping_file);
}

void ModelImpl::AddMipStartValues(const char* sol_file) {
  guarded([&] {
    start_values_pending = true;
    SolutionData solution;
    if (!sol_file || !readSolutionFile(solution, sol_file)) throw_catalogue_error(117, sol_file ? sol_file : "null");
    // An entry that is no start value is refused; the others are taken all the same.
    bool refused = false;
    for (const auto& [name, value] : solution.values) {
      if (std::isfinite(value)) {
        start_values[name] = value;
      } else {
        refused = true;
      }
    }
    if (refused) throw_non_finite_value();
  });
}

}  // namespace velorium::cpp_impl
