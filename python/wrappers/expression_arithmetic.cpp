#include "python/wrappers/expression_arithmetic.hpp"

namespace velorium {

namespace {

LinearExpression single_term(const Variable& v, double coefficient) {
  LinearExpression e = new_linear_expression();
  e.add_term(v, coefficient);
  return e;
}

// A free copy of `source` after `change`.
template <class Expression, class Change>
Expression changed_copy(const Expression& source, Change&& change) {
  Expression result = source.copy();
  change(result);
  return result;
}

void refuse_quadratic_terms(const LinearExpression& e) {
  if (!e.get_quad_part().empty()) throw velorium_exception(-1, kProductNotQuadratic);
}

}  // namespace

LinearExpression new_linear_expression() { return adopt_checked<LinearExpression>(CreateLinearExpression()); }
QuadExpression new_quad_expression() { return adopt_checked<QuadExpression>(CreateQuadExpression()); }

LinearExpression operator+(const Variable& v, double c) {
  LinearExpression e = single_term(v, 1.0);
  e.set_constant(c);
  return e;
}

LinearExpression operator-(const Variable& v, double c) { return v + (-c); }

LinearExpression operator-(double c, const Variable& v) {
  LinearExpression e = single_term(v, -1.0);
  e.set_constant(c);
  return e;
}

LinearExpression operator-(const Variable& v) { return 0.0 - v; }

LinearExpression operator+(const Variable& v, const Variable& w) {
  LinearExpression e = single_term(v, 1.0);
  e.add_term(w, 1.0);
  return e;
}

LinearExpression operator-(const Variable& v, const Variable& w) {
  LinearExpression e = single_term(v, 1.0);
  e.add_term(w, -1.0);
  return e;
}

LinearExpression operator*(const Variable& v, double c) { return single_term(v, c); }

LinearExpression operator/(const Variable& v, double c) { return single_term(v, 1.0 / c); }

QuadExpression operator*(const Variable& v, const Variable& w) {
  QuadExpression q = new_quad_expression();
  q.add_term(v, w, 1.0);
  return q;
}

LinearExpression operator+(const Variable& v, const LinearExpression& e) { return e + v; }

LinearExpression operator-(const Variable& v, const LinearExpression& e) {
  return changed_copy(e, [&](auto& r) { r *= -1.0; r += v; });
}

QuadExpression operator+(const Variable& v, const QuadExpression& q) { return q + v; }

QuadExpression operator-(const Variable& v, const QuadExpression& q) {
  return changed_copy(q, [&](auto& r) { r *= -1.0; r.get_linear_part().add_term(v, 1.0); });
}

LinearExpression operator+(const LinearExpression& e, double c) {
  return changed_copy(e, [&](auto& r) { r += c; });
}

LinearExpression operator-(const LinearExpression& e, double c) {
  return changed_copy(e, [&](auto& r) { r -= c; });
}

LinearExpression operator-(double c, const LinearExpression& e) {
  return changed_copy(e, [&](auto& r) { r *= -1.0; r += c; });
}

// Adding 0.0 turns the constant -0.0 of a negated 0 into 0.
LinearExpression operator-(const LinearExpression& e) { return 0.0 - e; }

LinearExpression operator*(const LinearExpression& e, double c) {
  return changed_copy(e, [&](auto& r) { r *= c; });
}

LinearExpression operator/(const LinearExpression& e, double c) {
  return changed_copy(e, [&](auto& r) { r /= c; });
}

LinearExpression operator+(const LinearExpression& e, const Variable& v) {
  return changed_copy(e, [&](auto& r) { r += v; });
}

LinearExpression operator-(const LinearExpression& e, const Variable& v) {
  return changed_copy(e, [&](auto& r) { r -= v; });
}

LinearExpression operator+(const LinearExpression& a, const LinearExpression& b) {
  return changed_copy(a, [&](auto& r) { r += b; });
}

LinearExpression operator-(const LinearExpression& a, const LinearExpression& b) {
  return changed_copy(a, [&](auto& r) { r -= b; });
}

LinearExpression operator+(const LinearExpression& e, const QuadExpression& q) {
  return changed_copy(e, [&](auto& r) { r.get_quad_part().add_expression(q, 1.0); });
}

LinearExpression operator-(const LinearExpression& e, const QuadExpression& q) {
  return changed_copy(e, [&](auto& r) { r.get_quad_part().add_expression(q, -1.0); });
}

QuadExpression multiply(const LinearExpression& e, const Variable& v, double factor) {
  refuse_quadratic_terms(e);
  QuadExpression result = new_quad_expression();
  for (int i = 0; i < e.get_terms_count(); ++i) {
    const Variable x = e.get_term_variable(i);
    const double product = e.get_term_coeff(i) * factor;
    if (product != 0.0) result.add_term(v, x, product);
  }
  const double constant = e.get_constant() * factor;
  if (constant != 0.0) result.add_expression(single_term(v, constant), 1.0);
  return result;
}

QuadExpression operator*(const LinearExpression& a, const LinearExpression& b) {
  refuse_quadratic_terms(a);
  refuse_quadratic_terms(b);
  QuadExpression result = new_quad_expression();
  const double ka = a.get_constant();
  const double kb = b.get_constant();
  for (int i = 0; i < a.get_terms_count(); ++i) {
    const Variable xa = a.get_term_variable(i);
    const double ca = a.get_term_coeff(i);
    if (ca == 0.0) continue;
    for (int j = 0; j < b.get_terms_count(); ++j) {
      const Variable xb = b.get_term_variable(j);
      const double product = ca * b.get_term_coeff(j);
      if (product != 0.0) result.add_term(xa, xb, product);
    }
  }
  LinearExpression linear = result.get_linear_part();
  if (ka != 0.0) {
    for (int j = 0; j < b.get_terms_count(); ++j) {
      const double product = b.get_term_coeff(j) * ka;
      if (product != 0.0) linear.add_term(b.get_term_variable(j), product);
    }
  }
  if (kb != 0.0) {
    for (int i = 0; i < a.get_terms_count(); ++i) {
      const double product = a.get_term_coeff(i) * kb;
      if (product != 0.0) linear.add_term(a.get_term_variable(i), product);
    }
  }
  if (ka != 0.0 && kb != 0.0) linear.add_constant(ka * kb);
  return result;
}

QuadExpression operator+(const QuadExpression& q, double c) {
  return changed_copy(q, [&](auto& r) { r += c; });
}

QuadExpression operator-(const QuadExpression& q, double c) {
  return changed_copy(q, [&](auto& r) { r -= c; });
}

QuadExpression operator-(double c, const QuadExpression& q) {
  return changed_copy(q, [&](auto& r) { r *= -1.0; r += c; });
}

QuadExpression operator-(const QuadExpression& q) { return 0.0 - q; }

QuadExpression operator*(const QuadExpression& q, double c) {
  return changed_copy(q, [&](auto& r) { r *= c; });
}

QuadExpression operator/(const QuadExpression& q, double c) {
  return changed_copy(q, [&](auto& r) { r /= c; });
}

QuadExpression operator+(const QuadExpression& q, const Variable& v) {
  return changed_copy(q, [&](auto& r) { r.get_linear_part().add_term(v, 1.0); });
}

QuadExpression operator-(const QuadExpression& q, const Variable& v) {
  return changed_copy(q, [&](auto& r) { r.get_linear_part().add_term(v, -1.0); });
}

QuadExpression operator+(const QuadExpression& q, const LinearExpression& e) {
  return changed_copy(q, [&](auto& r) { r.add_expression(e, 1.0); });
}

QuadExpression operator-(const QuadExpression& q, const LinearExpression& e) {
  return changed_copy(q, [&](auto& r) { r.add_expression(e, -1.0); });
}

QuadExpression operator+(const QuadExpression& a, const QuadExpression& b) {
  return changed_copy(a, [&](auto& r) { r += b; });
}

QuadExpression operator-(const QuadExpression& a, const QuadExpression& b) {
  return changed_copy(a, [&](auto& r) { r -= b; });
}

}  // namespace velorium
