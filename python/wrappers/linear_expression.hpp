// The module's value of a library linear expression: linear terms and a constant. It may be
// a view that shares its store with a quadratic expression, a constraint or the objective.
#pragma once

#include "python/wrappers/interface_value.hpp"
#include "python/wrappers/variable.hpp"

namespace velorium {

class QuadExpression;

class LinearExpression : public InterfaceValue<ILinearExpression> {
 public:
  using InterfaceValue::InterfaceValue;

  // Linear terms only: a store's quadratic terms are counted by its quadratic view.
  int get_terms_count() const;
  bool empty() const;
  Variable get_term_variable(int index) const;
  int get_term_variable_idx(int index) const;
  double get_term_coeff(int index) const;
  void set_term_coeff(int index, double coeff);
  double get_constant() const;
  void set_constant(double value);
  void add_constant(double value);
  void add_term(const Variable& variable, double coeff);
  void add_expression(const LinearExpression& expression, double factor);
  void remove_term(int index);
  void remove_variable(const Variable& variable);
  // An independent copy of the whole store; no check.
  LinearExpression copy() const;
  // The quadratic view of the same store; no check.
  QuadExpression get_quad_part() const;
  const char* get_name() const;
  void set_name(const char* name);

  // In place; each returns *this.
  LinearExpression& operator+=(double c);
  LinearExpression& operator-=(double c);
  LinearExpression& operator+=(const LinearExpression& other);
  LinearExpression& operator-=(const LinearExpression& other);
  LinearExpression& operator+=(const Variable& variable);
  LinearExpression& operator-=(const Variable& variable);
  // Scale the whole store: quadratic terms that it holds too, so that the expression keeps
  // meaning what it shows. Nothing changes when a scaled number would not be finite.
  LinearExpression& operator*=(double factor);
  LinearExpression& operator/=(double divisor);
};

}  // namespace velorium
