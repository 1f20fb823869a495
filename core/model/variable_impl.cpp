#include "core/model/variable_impl.hpp"

#include <utility>

#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {

static_assert(sizeof(void*) != 8 || sizeof(VariableImpl) == 56, "the size the handles' memory is laid out for");


std::uint32_t normalize_variable_type(int type) noexcept {
  return type >= 0 && type <= 4 ? static_cast<std::uint32_t>(type) : 0u;
}

VariableImpl::VariableImpl(std::shared_ptr<ModelBuilder> model, std::int32_t store_index) noexcept
    : index_(store_index), model_(std::move(model)) {}

VariableImpl::~VariableImpl() = default;

const char* VariableImpl::GetName() {
  return guarded<const char*>(nullptr, [this] { return model_->variable_name(index_); });
}

void VariableImpl::SetName(const char* name) {
  guarded([&] { model_->set_variable_name(index_, name); });
}

void VariableImpl::SetUpperBound(double upper) {
  guarded([&] { model_->set_variable_upper(index_, upper); });
}

double VariableImpl::GetUpperBound() {
  return guarded(0.0, [this] { return model_->variable_upper(index_); });
}

void VariableImpl::SetLowerBound(double lower) {
  guarded([&] { model_->set_variable_lower(index_, lower); });
}

double VariableImpl::GetLowerBound() {
  return guarded(0.0, [this] { return model_->variable_lower(index_); });
}

void VariableImpl::Remove() {
  guarded([this] { model_->remove_variable(index_); });
}

variable_type VariableImpl::GetType() {
  return guarded(variable_type::continuous, [this] {
    return static_cast<variable_type>(normalize_variable_type(static_cast<int>(model_->variable_type_of(index_))));
  });
}

void VariableImpl::SetType(variable_type type) {
  guarded([&] { model_->set_variable_type(index_, normalize_variable_type(static_cast<int>(type))); });
}

}  // namespace velorium::cpp_impl
