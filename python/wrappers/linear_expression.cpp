#include "python/wrappers/linear_expression.hpp"

#include "python/wrappers/expression_scaling.hpp"
#include "python/wrappers/quad_expression.hpp"

namespace velorium {

int LinearExpression::get_terms_count() const { return call(&ILinearExpression::GetTermsCount); }
bool LinearExpression::empty() const { return get_terms_count() == 0; }

Variable LinearExpression::get_term_variable(int index) const {
  return call_adopt<Variable>(&ILinearExpression::GetTermVariable, index);
}

int LinearExpression::get_term_variable_idx(int index) const {
  return call(&ILinearExpression::GetTermVariableIndex, index);
}

double LinearExpression::get_term_coeff(int index) const { return call(&ILinearExpression::GetTermCoeff, index); }
void LinearExpression::set_term_coeff(int index, double coeff) { call(&ILinearExpression::SetTermCoeff, index, coeff); }
double LinearExpression::get_constant() const { return call(&ILinearExpression::GetConstant); }
void LinearExpression::set_constant(double value) { call(&ILinearExpression::SetConstant, value); }
void LinearExpression::add_constant(double value) { call(&ILinearExpression::AddConstant, value); }

// The library binds a store to a model with its first term; a coefficient or factor of 0 adds
// nothing and binds nothing.
void LinearExpression::add_term(const Variable& variable, double coeff) {
  call(&ILinearExpression::AddTerm, variable.get_interface(), coeff);
  if (coeff != 0.0) take_model_of(variable);
}

void LinearExpression::add_expression(const LinearExpression& expression, double factor) {
  call(&ILinearExpression::AddExpression, expression.get_interface(), factor);
  if (factor != 0.0) take_model_of(expression);
}

void LinearExpression::remove_term(int index) { call(&ILinearExpression::RemoveTerm, index); }

void LinearExpression::remove_variable(const Variable& variable) {
  call(&ILinearExpression::RemoveVariable, variable.get_interface());
}

// A free copy keeps the model of its terms; a view shares the store, and what it reaches.
LinearExpression LinearExpression::copy() const {
  return adopt<LinearExpression>(object().CreateFreeCopy(), reached_model(use()));
}

QuadExpression LinearExpression::get_quad_part() const {
  return adopt<QuadExpression>(object().GetQuadPart(), shared_use());
}
const char* LinearExpression::get_name() const { return call(&ILinearExpression::GetName); }
void LinearExpression::set_name(const char* name) { call(&ILinearExpression::SetName, name); }

LinearExpression& LinearExpression::operator+=(double c) {
  add_constant(c);
  return *this;
}

LinearExpression& LinearExpression::operator-=(double c) {
  add_constant(-c);
  return *this;
}

LinearExpression& LinearExpression::operator+=(const LinearExpression& other) {
  add_expression(other, 1.0);
  return *this;
}

LinearExpression& LinearExpression::operator-=(const LinearExpression& other) {
  add_expression(other, -1.0);
  return *this;
}

LinearExpression& LinearExpression::operator+=(const Variable& variable) {
  add_term(variable, 1.0);
  return *this;
}

LinearExpression& LinearExpression::operator-=(const Variable& variable) {
  add_term(variable, -1.0);
  return *this;
}

LinearExpression& LinearExpression::operator*=(double factor) {
  scale_store(*this, get_quad_part(), Scaling::multiply, factor);
  return *this;
}

LinearExpression& LinearExpression::operator/=(double divisor) {
  scale_store(*this, get_quad_part(), Scaling::divide, divisor);
  return *this;
}

}  // namespace velorium
