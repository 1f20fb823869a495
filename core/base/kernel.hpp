// The process-wide core object: it stands for the local calculation engine, and its existence
// is the precondition of every operation that needs the pool of names.
#pragma once

#include <memory>

#include "core/engine/solve_pipeline.hpp"

namespace velorium {
class IModelImportExport;
class VeloriumNamesHolder;
class VeloriumOptions;
}  // namespace velorium

namespace velorium::cpp_impl {


// Makes the per-run object of a local engine for an option set.
using PipelineFactory = std::unique_ptr<SolvePipeline> (*)(const VeloriumOptions& options);

class Kernel {
 public:
  // A new import/export object (owned by the caller, freed with its Release), or null when
  // none could be made.
  IModelImportExport* create_model_import_export() const;
  // The process-wide pool of names.
  VeloriumNamesHolder* get_names_holder() const;
  // The per-run object of the local engine. No engine is part of this system: always throws
  // std::runtime_error with catalogue message 367 (unless a test installed a factory).
  std::unique_ptr<SolvePipeline> create_pipeline(const VeloriumOptions& options) const;
};

// Creates the core object on first use; true when it exists afterwards. A failure to create
// it leaves it absent, and the next call tries again. After the library's teardown it makes
// none and answers false.
bool get_or_create_kernel() noexcept;

// The core object, or null while none exists.
Kernel* current_kernel() noexcept;

// The pool of names reached through the core object, for the model store: throws
// velorium_exception (-1, catalogue message 109) when no core object exists.
VeloriumNamesHolder& kernel_names_holder();

// Destroys the core object and refuses to make another: the last step of the library's
// teardown (core/startup/process_state.hpp).
void close_kernel() noexcept;

// The fixed text that operations reaching the engine, the files or the remote service store
// when no core object exists.
inline constexpr const char* kKernelInitErrorText = "Ошибка инициализации ядра velorium";

// Throws velorium_exception (-1, kKernelInitErrorText) when no core object exists.
void require_kernel();

// Test seam: puts `replacement` (null for none) in place of the core object and returns the
// one that was there.
Kernel* exchange_kernel_for_testing(Kernel* replacement) noexcept;

// Test seam: makes create_pipeline use `factory` (null: no engine again) and returns the one
// that was installed. Only test code installs one; the library itself never does.
PipelineFactory exchange_pipeline_factory_for_testing(PipelineFactory factory) noexcept;

}  // namespace velorium::cpp_impl
