#include "core/base/kernel.hpp"

#include <atomic>
#include <new>
#include <stdexcept>

#include "core/base/catalogue_error.hpp"
#include "core/engine/solve_pipeline.hpp"
#include "core/names/names_holder.hpp"
#include "core/text/message_catalogue.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

namespace {

std::atomic<Kernel*> kernel_pointer{nullptr};
std::atomic<PipelineFactory> pipeline_factory{nullptr};
// Set when the library's teardown has destroyed the core object; none is made afterwards.
std::atomic<bool> kernel_closed{false};

}  // namespace

IModelImportExport* Kernel::create_model_import_export() const { return velorium::create_model_import_export(); }

VeloriumNamesHolder* Kernel::get_names_holder() const { return velorium::get_names_holder(); }

std::unique_ptr<SolvePipeline> Kernel::create_pipeline(const VeloriumOptions& options) const {
  if (PipelineFactory factory = pipeline_factory.load(std::memory_order_acquire)) return factory(options);
  throw std::runtime_error(get_message(367));
}

bool get_or_create_kernel() noexcept {
  if (kernel_pointer.load(std::memory_order_acquire)) return true;
  if (kernel_closed.load(std::memory_order_acquire)) return false;
  Kernel* fresh = new (std::nothrow) Kernel();
  if (!fresh) return false;
  Kernel* expected = nullptr;
  // Two first models made at once on two threads: one core object wins, the other is dropped.
  if (!kernel_pointer.compare_exchange_strong(expected, fresh, std::memory_order_acq_rel)) delete fresh;
  return true;
}

Kernel* current_kernel() noexcept { return kernel_pointer.load(std::memory_order_acquire); }

void require_kernel() {
  if (!current_kernel()) throw velorium_exception(-1, kKernelInitErrorText);
}

VeloriumNamesHolder& kernel_names_holder() {
  const Kernel* kernel = current_kernel();
  VeloriumNamesHolder* pool = kernel ? kernel->get_names_holder() : nullptr;
  // The pool goes before the core object at the library's teardown.
  if (!pool) throw_catalogue_error(109);
  return *pool;
}

void close_kernel() noexcept {
  kernel_closed.store(true, std::memory_order_release);
  delete kernel_pointer.exchange(nullptr, std::memory_order_acq_rel);
}

Kernel* exchange_kernel_for_testing(Kernel* replacement) noexcept {
  return kernel_pointer.exchange(replacement, std::memory_order_acq_rel);
}

PipelineFactory exchange_pipeline_factory_for_testing(PipelineFactory factory) noexcept {
  return pipeline_factory.exchange(factory, std::memory_order_acq_rel);
}

}  // namespace velorium::cpp_impl
