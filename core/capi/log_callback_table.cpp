// Model_SetLogCallbackFn and Model_Release: the models' function adapters live in one
// process-wide table, so that an adapter is destroyed only after its model stopped using it.
#include "core/capi/log_callback_table.hpp"

#include <memory>
#include <mutex>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "core/capi/model_error.hpp"

namespace velorium::capi {
namespace {

using AdapterPointer = std::unique_ptr<FnLogCallbackAdapter>;

// Takes the model's adapter out of the table (null when it has none, or when the table is
// gone at the library's teardown).
AdapterPointer take_adapter(IModel* model) noexcept {
  LogCallbackTable* table = log_callback_table();
  if (table == nullptr) return nullptr;
  std::lock_guard lock(table->mutex);
  const auto entry = table->adapters.find(model);
  if (entry == table->adapters.end()) return nullptr;
  AdapterPointer adapter = std::move(entry->second);
  table->adapters.erase(entry);
  return adapter;
}

void install_adapter(LogCallbackTable& table, IModel* model, VeloriumLogFunction function, void* user) {
  auto adapter = std::make_unique<FnLogCallbackAdapter>(function, user);
  {
    // Make room first, so that nothing can fail once the model holds the new adapter.
    std::lock_guard lock(table.mutex);
    table.adapters.try_emplace(model);
  }
  model->SetLogCallback(adapter.get());
  AdapterPointer previous;
  {
    std::lock_guard lock(table.mutex);
    const auto entry = table.adapters.find(model);
    if (entry != table.adapters.end()) {
      previous = std::exchange(entry->second, std::move(adapter));
    }
  }
  // The entry vanished only when another thread released this model's adapter meanwhile: the
  // model must not keep a receiver that is about to be destroyed.
  if (adapter != nullptr) model->SetLogCallback(nullptr);
  // `previous` goes here: the model has used the new adapter since SetLogCallback.
}

}  // namespace

LogCallbackTable::~LogCallbackTable() {
  for (auto& entry : adapters) entry.second.release()->silence();
}

std::size_t log_callback_adapter_count() {
  LogCallbackTable* table = log_callback_table();
  if (table == nullptr) return 0;
  std::lock_guard lock(table->mutex);
  return table->adapters.size();
}

}  // namespace velorium::capi

extern "C" {

void Model_SetLogCallbackFn(VeloriumModel* model, VeloriumLogFunction fn, void* user) {
  using namespace velorium::capi;
  if (fn == nullptr) {
    model->SetLogCallback(nullptr);
    take_adapter(model);
    return;
  }
  LogCallbackTable* table = log_callback_table();
  if (table == nullptr) {
    // The library is being torn down: no adapter can be kept any more.
    model->SetLogCallback(nullptr);
    return;
  }
  try {
    install_adapter(*table, model, fn, user);
  } catch (const std::exception& e) {
    // Out of memory before anything was installed: the model keeps the receiver it had.
    store_model_error(model, e.what(), -1);
  }
}

void Model_Release(VeloriumModel* model) {
  model->SetLogCallback(nullptr);
  velorium::capi::take_adapter(model);
  model->Release();
}

}  // extern "C"
