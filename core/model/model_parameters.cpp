// The model's named options: reading and changing them by name and type.
#include <string>

#include "core/base/catalogue_error.hpp"
#include "core/model/model_impl.hpp"
#include "core/options/option_access.hpp"

namespace velorium::cpp_impl {

namespace {

constexpr int kGetParameterFailed = 408;
constexpr int kSetParameterFailed = 409;

// The name for the failure text; a null name is reported as "null".
const char* shown_name(const char* name) { return name ? name : "null"; }

// Reads an option with `get`; any refusal becomes 408 with the name.
template <class Value, class Get>
Value read_option(const VeloriumOptions& options, const char* name, Get get) {
  Value value{};
  if (!name || get(options, name, value) != OptionStatus::ok) throw_catalogue_error(kGetParameterFailed, shown_name(name));
  return value;
}

// Any refusal of a change becomes 409 with the name.
void check_change(OptionStatus status, const char* name) {
  if (status != OptionStatus::ok) throw_catalogue_error(kSetParameterFailed, shown_name(name));
}

}  // namespace

int ModelImpl::GetIntParam(const char* param_name) {
  return guarded(0, [&] { return read_option<int>(options, param_name, getIntOption); });
}

double ModelImpl::GetDblParam(const char* param_name) {
  return guarded(0.0, [&] { return read_option<double>(options, param_name, getDoubleOption); });
}

const char* ModelImpl::GetStringParam(const char* param_name) {
  return guarded<const char*>(nullptr, [&] {
    return read_option<const std::string*>(options, param_name, getStringOptionPointer)->c_str();
  });
}

std::string ModelImpl::GetStringParamCopy(const char* param_name) {
  return guarded(std::string(), [&] {
    return *read_option<const std::string*>(options, param_name, getStringOptionPointer);
  });
}

bool ModelImpl::GetBoolParam(const char* param_name) {
  return guarded(false, [&] { return read_option<bool>(options, param_name, getBoolOption); });
}

void ModelImpl::SetIntParam(const char* param_name, int param_value) {
  guarded([&] {
    if (!param_name) throw_catalogue_error(kSetParameterFailed, shown_name(param_name));
    check_change(setIntOption(options, param_name, param_value), param_name);
  });
}

void ModelImpl::SetDblParam(const char* param_name, double param_value) {
  guarded([&] {
    if (!param_name) throw_catalogue_error(kSetParameterFailed, shown_name(param_name));
    check_change(setDoubleOption(options, param_name, param_value), param_name);
  });
}

void ModelImpl::SetStringParam(const char* param_name, const char* param_value) {
  if (param_name && param_value && std::string_view(param_name) == "log_file") {
    SetLogFile(param_value);
    return;
  }
  guarded([&] {
    if (!param_name || !param_value) throw_catalogue_error(kSetParameterFailed, shown_name(param_name));
    check_change(setOptionFromString(options, param_name, param_value), param_name);
  });
}

void ModelImpl::SetBoolParam(const char* param_name, bool param_value) {
  guarded([&] {
    if (!param_name) throw_catalogue_error(kSetParameterFailed, shown_name(param_name));
    check_change(setBoolOption(options, param_name, param_value), param_name);
  });
}

}  // namespace velorium::cpp_impl
