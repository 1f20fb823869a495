#include "core/general/variable_general_expr.hpp"


namespace velorium::cpp_impl {

VariableGeneralExpr::VariableGeneralExpr(std::weak_ptr<ModelBuilder> model, std::int32_t index) noexcept
    : GeneralExpressionImplBase(gen_expr_type::variable, std::move(model)), index_(index) {}

OwnedGeneralExpr VariableGeneralExpr::shallow_copy() const {
  return OwnedGeneralExpr(new VariableGeneralExpr(model_, index_));
}

}  // namespace velorium::cpp_impl
