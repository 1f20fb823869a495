// The nodes of the mathematical functions: a function node of the given type over the general
// forms of its operands, taken in order (the first operand's form is made and checked before
// the second's). Nothing is evaluated or simplified. The result shares no node with an operand.
#pragma once

#include "python/wrappers/general_arithmetic.hpp"

namespace velorium {

template <class Operand>
GeneralExpression function_node(gen_expr_type type, const Operand& operand) {
  return make_node(type, general_form(operand));
}

template <class First, class Second>
GeneralExpression function_node(gen_expr_type type, const First& first, const Second& second) {
  const GeneralExpression a = general_form(first);
  const GeneralExpression b = general_form(second);
  return make_node(type, a, b);
}

}  // namespace velorium
