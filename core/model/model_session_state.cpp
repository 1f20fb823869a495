// The model's per-session state that is not model data: the engine text, start values and
// the identifier of the last remote calculation.
#include "core/model/model_impl.hpp"

#include <cmath>

#include "core/base/number_checks.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium::cpp_impl {

void ModelImpl::SetEngineString(const char* text) {
  guarded([&] {
    if (text) engine_string.assign(text);
  });
}

void ModelImpl::AddMipStartValue(IVariable* var, double value) {
  clear_error();
  if (!std::isfinite(value)) {
    SetError(get_message(kNonFiniteValueMessage), -1);
    return;
  }
  if (!var) return;
  const char* name = var->GetName();
  if (!name) {
    // A variable without a name reports nothing; a failing handle reports its own failure.
    SetError(var->GetErrorText(), var->GetErrorCode());
    return;
  }
  AddMipStartValueByName(name, value);
}

void ModelImpl::AddMipStartValueByName(const char* name, double value) {
  guarded([&] {
    // A start value is a point: only a finite number is one.
    refuse_non_finite(value);
    start_values_pending = true;
    if (name) start_values[name] = value;
  });
}

void ModelImpl::ClearMipStartValues() {
  guarded([this] {
    start_values_pending = false;
    start_values.clear();
  });
}

const char* ModelImpl::GetCalcUID() {
  return guarded<const char*>(nullptr, [this] { return last_calc_uid.c_str(); });
}

}  // namespace velorium::cpp_impl
