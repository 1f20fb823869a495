// Arithmetic of variables, linear and quadratic expressions that stays linear or quadratic.
// No operand is changed: every result is a new free expression, built on a copy of the left
// expression or from nothing. Every library call is checked at once, so a refused operand (a
// removed variable: 407; another model: 405; a number that is not finite: 505) raises
// velorium_exception and no result is returned; nothing is dropped silently.
#pragma once

#include "python/wrappers/linear_expression.hpp"
#include "python/wrappers/quad_expression.hpp"
#include "python/wrappers/variable.hpp"

namespace velorium {

// A new free expression with no term and the constant 0.
LinearExpression new_linear_expression();
QuadExpression new_quad_expression();

// Variables: 1·v + c, 1·v − c, −1·v + c, −1·v + 0, v + w, v − w, c·v, (1/c)·v, v·w.
LinearExpression operator+(const Variable& v, double c);
LinearExpression operator-(const Variable& v, double c);
LinearExpression operator-(double c, const Variable& v);
LinearExpression operator-(const Variable& v);
LinearExpression operator+(const Variable& v, const Variable& w);
LinearExpression operator-(const Variable& v, const Variable& w);
LinearExpression operator*(const Variable& v, double c);
LinearExpression operator/(const Variable& v, double c);
QuadExpression operator*(const Variable& v, const Variable& w);
// v + e, v − e (e's whole store negated), v + q, v − q.
LinearExpression operator+(const Variable& v, const LinearExpression& e);
LinearExpression operator-(const Variable& v, const LinearExpression& e);
QuadExpression operator+(const Variable& v, const QuadExpression& q);
QuadExpression operator-(const Variable& v, const QuadExpression& q);

// Linear expressions (a store that holds quadratic terms keeps them, scaled with the rest).
LinearExpression operator+(const LinearExpression& e, double c);
LinearExpression operator-(const LinearExpression& e, double c);
LinearExpression operator-(double c, const LinearExpression& e);
LinearExpression operator-(const LinearExpression& e);
LinearExpression operator*(const LinearExpression& e, double c);
LinearExpression operator/(const LinearExpression& e, double c);
LinearExpression operator+(const LinearExpression& e, const Variable& v);
LinearExpression operator-(const LinearExpression& e, const Variable& v);
LinearExpression operator+(const LinearExpression& a, const LinearExpression& b);
LinearExpression operator-(const LinearExpression& a, const LinearExpression& b);
// e ± q: a linear expression whose store now holds q's quadratic terms too.
LinearExpression operator+(const LinearExpression& e, const QuadExpression& q);
LinearExpression operator-(const LinearExpression& e, const QuadExpression& q);

// Expanded products: factor·e·v, and a·b in the order quadratic terms (a-major), k_a·b,
// k_b·a, k_a·k_b. An operand whose store holds quadratic terms would give terms of the third
// or fourth degree, which no quadratic expression holds: it is refused (kProductNotQuadratic).
QuadExpression multiply(const LinearExpression& e, const Variable& v, double factor);
QuadExpression operator*(const LinearExpression& a, const LinearExpression& b);
inline constexpr const char* kProductNotQuadratic =
    "Произведение выражения с квадратичными членами не является квадратичным выражением";

// Quadratic expressions.
QuadExpression operator+(const QuadExpression& q, double c);
QuadExpression operator-(const QuadExpression& q, double c);
QuadExpression operator-(double c, const QuadExpression& q);
QuadExpression operator-(const QuadExpression& q);
QuadExpression operator*(const QuadExpression& q, double c);
QuadExpression operator/(const QuadExpression& q, double c);
QuadExpression operator+(const QuadExpression& q, const Variable& v);
QuadExpression operator-(const QuadExpression& q, const Variable& v);
QuadExpression operator+(const QuadExpression& q, const LinearExpression& e);
QuadExpression operator-(const QuadExpression& q, const LinearExpression& e);
QuadExpression operator+(const QuadExpression& a, const QuadExpression& b);
QuadExpression operator-(const QuadExpression& a, const QuadExpression& b);

}  // namespace velorium
