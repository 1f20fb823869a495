// The model's per-session state that is not model data: the engine text, start values and
// the identifier of the last remote calculation.
#include "core/model/model_impl.hpp"

namespace velorium::cpp_impl {

void ModelImpl::SetEngineString(const char* text) {
  guarded([&] {
    if (text) engine_string.assign(text);
  });
}

void ModelImpl::AddMipStartValue(IVariable* var, double value) {
  clear_error();
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
