#include "core/general/constant_general_expr.hpp"

namespace velorium::cpp_impl {

ConstantGeneralExpr::ConstantGeneralExpr(double value) noexcept
    : GeneralExpressionImplBase(gen_expr_type::constant, {}), value_(value) {}

double ConstantGeneralExpr::GetConstant() {
  clear_error();
  return value_;
}

OwnedGeneralExpr ConstantGeneralExpr::shallow_copy() const { return OwnedGeneralExpr(new ConstantGeneralExpr(value_)); }

}  // namespace velorium::cpp_impl
