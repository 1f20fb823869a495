#include "python/wrappers/general_expression.hpp"

namespace velorium {

GeneralExpression::GeneralExpression(IGeneralExpression* node) : InterfaceValue(make_interface_ptr(node)) {
  check();
}

gen_expr_type GeneralExpression::get_type() const { return call(&IGeneralExpression::GetType); }
double GeneralExpression::get_constant() const { return call(&IGeneralExpression::GetConstant); }
Variable GeneralExpression::get_variable() const { return call_adopt<Variable>(&IGeneralExpression::GetVariable); }
int GeneralExpression::get_expr_count() const { return call(&IGeneralExpression::GetExprCount); }
int GeneralExpression::get_arity() const { return call(&IGeneralExpression::GetArity); }

GeneralExpression GeneralExpression::get_expr(int index) const {
  GeneralExpression child = call_adopt<GeneralExpression>(&IGeneralExpression::GetExpr, index);
  child.check();
  return child;
}

void GeneralExpression::set_expr(int index, const GeneralExpression& expression) {
  call(&IGeneralExpression::SetExpr, index, expression.get_interface());
}

void GeneralExpression::add_expr(const GeneralExpression& expression) {
  call(&IGeneralExpression::AddExpr, expression.get_interface());
}

GeneralExpression GeneralExpression::copy() const { return GeneralExpression(object().CreateFreeCopy()); }

GeneralExpression make_general_expression(const ILinearExpression* expression) {
  return GeneralExpression(CreateGeneralExpression(expression));
}

GeneralExpression make_general_expression(const IQuadExpression* expression) {
  return GeneralExpression(CreateGeneralExpression(expression));
}

GeneralExpression make_general_expression(const IVariable* variable) {
  return GeneralExpression(CreateGeneralExpression(variable));
}

GeneralExpression make_general_expression(double value) { return GeneralExpression(CreateGeneralExpression(value)); }

}  // namespace velorium
