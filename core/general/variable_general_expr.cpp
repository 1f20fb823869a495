#include "core/general/variable_general_expr.hpp"

#include "core/model/variable_impl.hpp"

namespace velorium::cpp_impl {

VariableGeneralExpr::VariableGeneralExpr(std::weak_ptr<ModelBuilder> model, std::int32_t index) noexcept
    : GeneralExpressionImplBase(gen_expr_type::variable, std::move(model)), index_(index) {}

IVariable* VariableGeneralExpr::GetVariable() {
  return guarded<IVariable*>(nullptr, [this]() -> IVariable* {
    std::shared_ptr<ModelBuilder> store = own_model();
    if (!store) {
      // The model and every handle on it are gone, and the variable with them.
      fail(111, index_);
      return nullptr;
    }
    return new VariableImpl(std::move(store), index_);
  });
}

OwnedGeneralExpr VariableGeneralExpr::shallow_copy() const {
  return OwnedGeneralExpr(new VariableGeneralExpr(model_, index_));
}

}  // namespace velorium::cpp_impl
