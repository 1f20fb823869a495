// Arithmetic that builds general expression trees. No operand changes: every result is a new
// independent tree, whose nodes hold copies of the operands' general forms. Every append and
// every new node is checked, so an operand of another model raises 405 and a removed variable
// 407, and no result is returned.
#pragma once

#include "python/wrappers/general_expression.hpp"
#include "python/wrappers/linear_expression.hpp"
#include "python/wrappers/quad_expression.hpp"

namespace velorium {

// ⟨x⟩: the general form of an operand; for a general expression, itself or an independent
// copy of it.
GeneralExpression general_form(double c);
GeneralExpression general_form(const Variable& v);
GeneralExpression general_form(const LinearExpression& e);
GeneralExpression general_form(const QuadExpression& q);
GeneralExpression general_form(const GeneralExpression& g);

// sum(a, b) and product(a, b): a copy of a with b appended when a is already a node of that
// kind, else the new node (a, b). Only the left operand is flattened.
GeneralExpression operator+(const GeneralExpression& a, const GeneralExpression& b);
GeneralExpression operator*(const GeneralExpression& a, const GeneralExpression& b);
// minus(a, b) and divide(a, b).
GeneralExpression operator-(const GeneralExpression& a, const GeneralExpression& b);
GeneralExpression operator/(const GeneralExpression& a, const GeneralExpression& b);

// The same with the general form of the right operand.
template <class Operand>
GeneralExpression operator+(const GeneralExpression& g, const Operand& x) {
  return g + general_form(x);
}
template <class Operand>
GeneralExpression operator*(const GeneralExpression& g, const Operand& x) {
  return g * general_form(x);
}
template <class Operand>
GeneralExpression operator-(const GeneralExpression& g, const Operand& x) {
  return g - general_form(x);
}
template <class Operand>
GeneralExpression operator/(const GeneralExpression& g, const Operand& x) {
  return g / general_form(x);
}

// c − g: sum(product(g, −1.0), c).
GeneralExpression operator-(double c, const GeneralExpression& g);

}  // namespace velorium
