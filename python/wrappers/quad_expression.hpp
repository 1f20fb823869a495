// The module's value of a library quadratic expression: the quadratic face of an expression
// store, whose linear terms and constant are reached through its linear view.
#pragma once

#include "python/wrappers/interface_value.hpp"
#include "python/wrappers/linear_expression.hpp"
#include "python/wrappers/variable.hpp"

namespace velorium {

class QuadExpression : public InterfaceValue<IQuadExpression> {
 public:
  using InterfaceValue::InterfaceValue;

  // Quadratic terms only: the linear terms are counted by the linear view.
  int get_terms_count() const;
  bool empty() const;
  Variable get_term_variable1(int index) const;
  Variable get_term_variable2(int index) const;
  double get_term_coeff(int index) const;
  void set_term_coeff(int index, double coeff);
  void add_term(const Variable& first, const Variable& second, double coeff);
  void add_expression(const QuadExpression& expression, double factor);
  // Adds into the linear part of this same store.
  void add_expression(const LinearExpression& expression, double factor);
  void remove_term(int index);
  // The linear view of the same store; no check.
  LinearExpression get_linear_part() const;
  // An independent copy of the whole store; no check.
  QuadExpression copy() const;
  const char* get_name() const;
  void set_name(const char* name);

  // In place; each returns *this. The constant is changed through the linear view.
  QuadExpression& operator+=(double c);
  QuadExpression& operator-=(double c);
  QuadExpression& operator+=(const QuadExpression& other);
  QuadExpression& operator-=(const QuadExpression& other);
  // Every coefficient of the store once: quadratic terms, linear terms and the constant.
  // Nothing changes when a scaled number would not be finite.
  QuadExpression& operator*=(double factor);
  QuadExpression& operator/=(double divisor);
};

}  // namespace velorium
