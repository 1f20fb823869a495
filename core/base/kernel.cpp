#include "core/base/kernel.hpp"

#include <atomic>
#include <new>
#include <stdexcept>

#include "core/base/catalogue_error.hpp"
#include "core/names/names_holder.hpp"
#include "core/text/message_catalogue.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

namespace {

std::atomic<Kernel*> kernel_pointer{nullptr};

// Destroys the core object when the process ends (a no-op while there is none).
struct KernelCleanup {
  ~KernelCleanup() { delete kernel_pointer.exchange(nullptr); }
} kernel_cleanup;

}  // namespace

VeloriumNamesHolder* Kernel::get_names_holder() const { return velorium::get_names_holder(); }

std::shared_ptr<SolvePipeline> Kernel::create_pipeline(const VeloriumOptions&) const {
  throw std::runtime_error(get_message(367));
}

bool get_or_create_kernel() noexcept {
  if (kernel_pointer.load(std::memory_order_acquire)) return true;
  Kernel* fresh = new (std::nothrow) Kernel();
  if (!fresh) return false;
  Kernel* expected = nullptr;
  // Two first models made at once on two threads: one core object wins, the other is dropped.
  if (!kernel_pointer.compare_exchange_strong(expected, fresh, std::memory_order_acq_rel)) delete fresh;
  return true;
}

Kernel* current_kernel() noexcept { return kernel_pointer.load(std::memory_order_acquire); }

VeloriumNamesHolder& kernel_names_holder() {
  const Kernel* kernel = current_kernel();
  if (!kernel) throw_catalogue_error(109);
  return *kernel->get_names_holder();
}

Kernel* exchange_kernel_for_testing(Kernel* replacement) noexcept {
  return kernel_pointer.exchange(replacement, std::memory_order_acq_rel);
}

}  // namespace velorium::cpp_impl
