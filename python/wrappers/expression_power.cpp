#include "python/wrappers/expression_power.hpp"

#include "python/wrappers/expression_arithmetic.hpp"
#include "python/wrappers/general_arithmetic.hpp"

namespace velorium {

namespace {

GeneralExpression pow_node(const GeneralExpression& base, int n) {
  return make_node(gen_expr_type::func_pow, base, general_form(static_cast<double>(n)));
}

}  // namespace

PowerResult integer_power_Variable(const Variable& v, int n) {
  switch (n) {
    case 0: return 1.0;
    case 1: return v;
    case 2: return v * v;
    default: return pow_node(general_form(v), n);
  }
}

PowerResult integer_power_linear_quad(const LinearExpression& linear, const QuadExpression& quadratic, int n) {
  if (n == 0) return 1.0;
  if (n == 1) return linear;
  if (n == 2 && quadratic.empty()) return linear * linear;
  return pow_node(general_form(linear), n);
}

PowerResult integer_power_GeneralExpression(const GeneralExpression& g, int n) {
  if (n == 0) return 1.0;
  if (n == 1) return g;
  return pow_node(g, n);
}

}  // namespace velorium
