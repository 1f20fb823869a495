#include "python/wrappers/constraint.hpp"

namespace velorium {

// The free constraint holds a copy of the expression's terms, and so reaches their model.
Constraint::Constraint(const LinearExpression& expression, constraint_sense sense, double rhs)
    : InterfaceValue(created_constraint(CreateConstraint(expression.get_interface(), sense, rhs)),
                     reached_model(expression.use())) {
  check();
}

Constraint::Constraint(const QuadExpression& expression, constraint_sense sense, double rhs)
    : InterfaceValue(created_constraint(CreateConstraint(expression.get_interface(), sense, rhs)),
                     reached_model(expression.use())) {
  check();
}

LinearExpression Constraint::get_linear_expression() const {
  return call_adopt<LinearExpression>(&IConstraint::GetLinearExpression);
}

QuadExpression Constraint::get_quad_expression() const {
  return call_adopt<QuadExpression>(&IConstraint::GetQuadExpression);
}

void Constraint::set_upper_bound(double value) { call(&IConstraint::SetUpperBound, value); }
double Constraint::get_upper_bound() const { return call(&IConstraint::GetUpperBound); }
void Constraint::set_lower_bound(double value) { call(&IConstraint::SetLowerBound, value); }
double Constraint::get_lower_bound() const { return call(&IConstraint::GetLowerBound); }
double Constraint::get_range() const { return call(&IConstraint::GetRange); }
void Constraint::set_range(double range) { call(&IConstraint::SetRange, range); }
void Constraint::remove() { call(&IConstraint::Remove); }
const char* Constraint::get_name() const { return call(&IConstraint::GetName); }
void Constraint::set_name(const char* name) { call(&IConstraint::SetName, name); }

}  // namespace velorium
