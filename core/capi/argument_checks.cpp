#include "core/capi/argument_checks.hpp"

#include <string>

#include "core/base/error_info_base.hpp"
#include "core/capi/model_error.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"

namespace velorium::capi {

namespace {

constexpr int kVariableTypeMessage = 147;
constexpr int kConstraintSenseMessage = 152;
constexpr int kInvalidValueMessage = 102;

void store_variable_error(IVariable* variable, const char* text) noexcept {
  if (auto* own = dynamic_cast<cpp_impl::ErrorInfoBase<IVariable>*>(variable)) own->SetError(text, -1);
}

template <class Test>
bool all_of(const int* values, std::uint64_t count, Test test) noexcept {
  if (values == nullptr) return count == 0;
  for (std::uint64_t k = 0; k < count; ++k) {
    if (!test(values[k])) return false;
  }
  return true;
}

}  // namespace

bool is_variable_type(int value) noexcept { return value >= 0 && value <= 4; }
bool is_constraint_sense(int value) noexcept { return value >= 0 && value <= 2; }
bool is_objective_sense(int value) noexcept { return value == 0 || value == 1; }

bool accept_variable_type(IVariable* variable, int type) noexcept {
  if (is_variable_type(type)) return true;
  store_variable_error(variable, get_message(kVariableTypeMessage));
  return false;
}

bool accept_variable_types(IModel* model, const int* types, std::uint64_t count) noexcept {
  // A null array is the operation's own business (it counts as no types).
  if (types == nullptr || all_of(types, count, is_variable_type)) return true;
  store_model_error(model, get_message(kVariableTypeMessage), -1);
  return false;
}

bool accept_constraint_sense(IModel* model, int sense) noexcept {
  if (is_constraint_sense(sense)) return true;
  store_model_error(model, get_message(kConstraintSenseMessage), -1);
  return false;
}

bool accept_constraint_senses(IModel* model, const int* senses, std::uint64_t count) noexcept {
  if (all_of(senses, count, is_constraint_sense)) return true;
  store_model_error(model, get_message(kConstraintSenseMessage), -1);
  return false;
}

bool accept_objective_sense(IModel* model, int sense) noexcept {
  if (is_objective_sense(sense)) return true;
  try {
    const std::string text = formatString(get_message(kInvalidValueMessage), "sense", std::to_string(sense).c_str());
    store_model_error(model, text.c_str(), -1);
  } catch (...) {
    store_model_error(model, "", -1);
  }
  return false;
}

IVariable* refuse_variable_type(IModel* model) noexcept {
  IVariable* no_column = model->GetVariable(-1);
  store_model_error(model, get_message(kVariableTypeMessage), -1);
  return no_column;
}

}  // namespace velorium::capi
