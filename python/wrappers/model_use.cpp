#include "python/wrappers/model_use.hpp"

#include <string>

#include "velorium/velorium.hpp"

namespace velorium {

UseRef ModelUse::new_model_use() { return UseRef(new ModelUse(true)); }
UseRef ModelUse::new_free_use() { return UseRef(new ModelUse(false)); }

void ModelUse::refuse_busy() const {
  if (operation_ != nullptr) {
    const std::string text = std::string("Модель занята операцией ") + operation_ +
                             ", которая ещё выполняется; модель и её объекты нельзя использовать, пока она не "
                             "закончится";
    throw velorium_exception(-1, text.c_str());
  }
  // The thread that hands the line to Python may go on using the model, as it could before.
  if (delivering_thread_ == std::this_thread::get_id()) return;
  throw velorium_exception(-1,
                           "Модель занята операцией в другом потоке (передаёт строку лога); модель и её объекты "
                           "нельзя использовать, пока она не закончится");
}

ModelUse::Running::Running(ModelUse& model, const char* operation) noexcept : model_(model) {
  model.operation_ = operation;
}

ModelUse::Running::~Running() { model_.operation_ = nullptr; }

ModelUse::Delivering::Delivering(ModelUse& model) noexcept : model_(model), counted_(model.operation_ == nullptr) {
  // A line of an operation that runs without the lock needs no mark: every use is refused.
  if (!counted_) return;
  if (model.delivering_++ == 0) model.delivering_thread_ = std::this_thread::get_id();
}

ModelUse::Delivering::~Delivering() {
  if (counted_) --model_.delivering_;
}

}  // namespace velorium
