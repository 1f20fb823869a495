// The function interface's log receivers given as plain functions: one adapter per model,
// owned by a process-wide table under one mutex.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <unordered_map>

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
  // Drops the function: later texts go nowhere.
  void silence() noexcept { function_ = nullptr; }

  // Set when the table goes while this adapter is still in it: the model it belongs to, and
  // the next adapter left over so.
  IModel* late_owner = nullptr;
  FnLogCallbackAdapter* next_late = nullptr;

 private:
  VeloriumLogFunction function_;
  void* user_;
};

// The models' adapters. The mutex is held only while the map changes, never during a call
// into a model.
struct LogCallbackTable {
  LogCallbackTable() = default;
  LogCallbackTable(const LogCallbackTable&) = delete;
  LogCallbackTable& operator=(const LogCallbackTable&) = delete;
  // Adapters still here belong to models never released through Model_Release; such a model
  // may still log or be released after the library's teardown, so its adapter is silenced
  // and kept (on a list of left-over adapters) instead of being destroyed under it. A
  // Model_Release after the teardown destroys the model's left-over adapter.
  ~LogCallbackTable();

  std::mutex mutex;
  std::unordered_map<IModel*, std::unique_ptr<FnLogCallbackAdapter>> adapters;
};

// The process's table, built at load; null once the library's process-wide state is torn
// down.
LogCallbackTable* log_callback_table() noexcept;

// Number of models that have an adapter in the table (for tests).
std::size_t log_callback_adapter_count();

}  // namespace velorium::capi
