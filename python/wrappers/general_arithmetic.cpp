#include "python/wrappers/general_arithmetic.hpp"

namespace velorium {

namespace {

GeneralExpression combine(gen_expr_type type, const GeneralExpression& a, const GeneralExpression& b) {
  GeneralExpression result;
  if (a.get_type() == type) {
    result = a.copy();
  } else {
    result = GeneralExpression::independent(CreateGeneralExpression(type));
    result.add_expr(a);
  }
  result.add_expr(b);
  return result;
}

}  // namespace

GeneralExpression general_form(double c) { return make_general_expression(c); }
GeneralExpression general_form(const Variable& v) { return make_general_expression(v); }
GeneralExpression general_form(const LinearExpression& e) { return make_general_expression(e); }
GeneralExpression general_form(const QuadExpression& q) { return make_general_expression(q); }
GeneralExpression general_form(const GeneralExpression& g) { return g.detached(); }

GeneralExpression operator+(const GeneralExpression& a, const GeneralExpression& b) {
  return combine(gen_expr_type::plus, a, b);
}

GeneralExpression operator*(const GeneralExpression& a, const GeneralExpression& b) {
  return combine(gen_expr_type::multiply, a, b);
}

GeneralExpression operator-(const GeneralExpression& a, const GeneralExpression& b) {
  return make_node(gen_expr_type::minus, a, b);
}

GeneralExpression operator/(const GeneralExpression& a, const GeneralExpression& b) {
  return make_node(gen_expr_type::divide, a, b);
}

GeneralExpression operator-(double c, const GeneralExpression& g) { return (g * -1.0) + c; }

}  // namespace velorium
