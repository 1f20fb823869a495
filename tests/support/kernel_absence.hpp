// Makes the core object absent for the life of a test scope, and restores it afterwards.
#pragma once

#include "core/base/kernel.hpp"

namespace velorium::testing {

class ScopedKernelAbsence {
 public:
  ScopedKernelAbsence() : saved_(cpp_impl::exchange_kernel_for_testing(nullptr)) {}
  ~ScopedKernelAbsence() { delete cpp_impl::exchange_kernel_for_testing(saved_); }
  ScopedKernelAbsence(const ScopedKernelAbsence&) = delete;
  ScopedKernelAbsence& operator=(const ScopedKernelAbsence&) = delete;

 private:
  cpp_impl::Kernel* saved_;
};

}  // namespace velorium::testing
