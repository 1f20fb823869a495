#include "core/general/general_constraint_wrapper.hpp"

#include <utility>

#include "core/general/origin_general_expr.hpp"
#include "core/model/variable_impl.hpp"
#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {

GeneralConstraintWrapper::GeneralConstraintWrapper(std::shared_ptr<ModelBuilder> model,
                                                   std::shared_ptr<GeneralConstraint> data) noexcept
    : model_(std::move(model)), data_(std::move(data)) {}

GeneralConstraintWrapper::~GeneralConstraintWrapper() = default;

void GeneralConstraintWrapper::Remove() {
  guarded([this] {
    if (model_) model_->remove_general_constraint(*data_);
  });
}

IGeneralExpression* GeneralConstraintWrapper::GetExpression() {
  return guarded<IGeneralExpression*>(nullptr, [this] { return new OriginGeneralExpr(data_->expression); });
}

IVariable* GeneralConstraintWrapper::GetVariable() {
  return guarded<IVariable*>(nullptr, [this] { return new VariableImpl(model_, data_->result_variable); });
}

const char* GeneralConstraintWrapper::GetName() {
  clear_error();
  return data_->name.c_str();
}

void GeneralConstraintWrapper::SetName(const char* name) {
  guarded([&] {
    if (model_ && model_->holds_general_constraint(*data_)) {
      model_->rename_general_constraint(*data_, name);
    } else {
      data_->name = name ? name : "";
    }
  });
}

}  // namespace velorium::cpp_impl
