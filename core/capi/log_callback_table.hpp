// The function interface's log receivers given as plain functions: one adapter per model,
// owned by a process-wide table under one mutex.
#pragma once

#include <cstddef>

#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

namespace velorium::capi {

// Hands each log text to a C function with the caller's user pointer.
class FnLogCallbackAdapter final : public ILogCallback {
 public:
  FnLogCallbackAdapter(VeloriumLogFunction function, void* user) noexcept
      : function_(function), user_(user) {}
  void LogMessage(const char* text) override {
    if (function_ != nullptr) function_(text, user_);
  }

 private:
  VeloriumLogFunction function_;
  void* user_;
};

// Number of models that have an adapter in the table (for tests).
std::size_t log_callback_adapter_count();

}  // namespace velorium::capi
