#include "python/wrappers/expression_sum.hpp"

#include "python/wrappers/expression_arithmetic.hpp"
#include "python/wrappers/general_arithmetic.hpp"

namespace velorium {

ExpressionSum::ExpressionSum()
    : linear_(new_linear_expression()),
      quadratic_(new_quad_expression()),
      general_(GeneralExpression::independent(CreateGeneralExpression(gen_expr_type::plus))) {}

void ExpressionSum::add(const Variable& v) { linear_ += v; }
void ExpressionSum::add(const LinearExpression& e) { linear_ += e; }
void ExpressionSum::add(double c) { linear_ += c; }
void ExpressionSum::add(const QuadExpression& q) { quadratic_ += q; }
void ExpressionSum::add(const GeneralExpression& g) { general_.add_expr(g); }

PowerResult ExpressionSum::result() const {
  const bool general_items = general_.get_expr_count() > 0;
  if (!general_items && quadratic_.empty()) return linear_ + quadratic_.get_linear_part();
  if (!general_items) return quadratic_ + linear_;
  GeneralExpression sum = general_.copy();
  sum.add_expr(general_form(quadratic_));
  sum.add_expr(general_form(linear_));
  return sum;
}

}  // namespace velorium
