// The factories of free linear and quadratic expressions.
#include "core/expressions/expr_data.hpp"
#include "core/expressions/linear_expression_impl.hpp"
#include "core/expressions/quad_expression_impl.hpp"
#include "velorium/velorium.hpp"

using velorium::cpp_impl::expr_data;

velorium::ILinearExpression* CreateLinearExpression() {
  try {
    return new velorium::cpp_impl::LinearExpressionImpl(expr_data::make_own());
  } catch (...) {
    return nullptr;  // out of memory: there is no object to hold the error
  }
}

velorium::IQuadExpression* CreateQuadExpression() {
  try {
    return new velorium::cpp_impl::QuadExpressionImpl(expr_data::make_own());
  } catch (...) {
    return nullptr;
  }
}
