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

// The adapters that the table left over at its teardown; plain data, so usable after it.
constinit std::mutex late_adapters_mutex;
constinit FnLogCallbackAdapter* late_adapters = nullptr;

AdapterPointer take_late_adapter(IModel* model) noexcept {
  std::lock_guard lock(late_adapters_mutex);
  for (FnLogCallbackAdapter** link = &late_adapters; *link != nullptr; link = &(*link)->next_late) {
    if ((*link)->late_owner != model) continue;
    FnLogCallbackAdapter* found = *link;
    *link = found->next_late;
    return AdapterPointer(found);
  }
  return nullptr;
}

// Takes the model's adapter out of the table (null when it has none).
AdapterPointer take_adapter(IModel* model) noexcept {
  LogCallbackTable* table = log_callback_table();
  if (table == nullptr) return take_late_adapter(model);
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
  std::lock_guard lock(late_adapters_mutex);
  for (auto& [model, adapter] : adapters) {
    FnLogCallbackAdapter* kept = adapter.release();
    kept->silence();
    kept->late_owner = model;
    kept->next_late = late_adapters;
    late_adapters = kept;
  }
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
