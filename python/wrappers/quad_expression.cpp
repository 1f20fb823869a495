#include "python/wrappers/quad_expression.hpp"

#include "python/wrappers/expression_scaling.hpp"

namespace velorium {

int QuadExpression::get_terms_count() const { return call(&IQuadExpression::GetTermsCount); }
bool QuadExpression::empty() const { return get_terms_count() == 0; }

Variable QuadExpression::get_term_variable1(int index) const {
  return call_adopt<Variable>(&IQuadExpression::GetTermVariable1, index);
}

Variable QuadExpression::get_term_variable2(int index) const {
  return call_adopt<Variable>(&IQuadExpression::GetTermVariable2, index);
}

double QuadExpression::get_term_coeff(int index) const { return call(&IQuadExpression::GetTermCoeff, index); }
void QuadExpression::set_term_coeff(int index, double coeff) { call(&IQuadExpression::SetTermCoeff, index, coeff); }

// As for LinearExpression: a coefficient or factor of 0 binds the store to no model.
void QuadExpression::add_term(const Variable& first, const Variable& second, double coeff) {
  call(&IQuadExpression::AddTerm, first.get_interface(), second.get_interface(), coeff);
  if (coeff != 0.0) take_model_of(first);
}

void QuadExpression::add_expression(const QuadExpression& expression, double factor) {
  call(&IQuadExpression::AddExpression, expression.get_interface(), factor);
  if (factor != 0.0) take_model_of(expression);
}

void QuadExpression::add_expression(const LinearExpression& expression, double factor) {
  LinearExpression linear = get_linear_part();
  linear.add_expression(expression, factor);
  check();
}

void QuadExpression::remove_term(int index) { call(&IQuadExpression::RemoveTerm, index); }
LinearExpression QuadExpression::get_linear_part() const {
  return adopt<LinearExpression>(object().GetLinearPart(), shared_use());
}

QuadExpression QuadExpression::copy() const {
  return adopt<QuadExpression>(object().CreateFreeCopy(), reached_model(use()));
}
const char* QuadExpression::get_name() const { return call(&IQuadExpression::GetName); }
void QuadExpression::set_name(const char* name) { call(&IQuadExpression::SetName, name); }

QuadExpression& QuadExpression::operator+=(double c) {
  get_linear_part().add_constant(c);
  return *this;
}

QuadExpression& QuadExpression::operator-=(double c) {
  get_linear_part().add_constant(-c);
  return *this;
}

QuadExpression& QuadExpression::operator+=(const QuadExpression& other) {
  add_expression(other, 1.0);
  return *this;
}

QuadExpression& QuadExpression::operator-=(const QuadExpression& other) {
  add_expression(other, -1.0);
  return *this;
}

QuadExpression& QuadExpression::operator*=(double factor) {
  scale_store(get_linear_part(), *this, Scaling::multiply, factor);
  return *this;
}

QuadExpression& QuadExpression::operator/=(double divisor) {
  scale_store(get_linear_part(), *this, Scaling::divide, divisor);
  return *this;
}

}  // namespace velorium
