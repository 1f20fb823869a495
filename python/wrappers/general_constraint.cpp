#include "python/wrappers/general_constraint.hpp"

#include "python/wrappers/constraint.hpp"

namespace velorium {

GeneralConstraint::GeneralConstraint(const GeneralExpression& expression, const Variable& variable, const char* name)
    : InterfaceValue(created_constraint(
          CreateGeneralConstraint(expression.detached().get_interface(), variable.get_interface(), name))) {
  const UseRef& model = reached_model(expression.use());
  set_use(model ? model : reached_model(variable.use()));
  check();
}

GeneralExpression GeneralConstraint::get_expression() const {
  GeneralExpression node = adopt<GeneralExpression>(object().GetExpression(), shared_use());
  // Without a node the constraint's own error says why.
  if (node.get_interface()) node.check();
  check();
  if (!node.get_interface()) throw_missing_object();
  return node;
}

Variable GeneralConstraint::get_variable() const { return call_adopt<Variable>(&IGeneralConstraint::GetVariable); }
void GeneralConstraint::remove() { call(&IGeneralConstraint::Remove); }
const char* GeneralConstraint::get_name() const { return call(&IGeneralConstraint::GetName); }
void GeneralConstraint::set_name(const char* name) { call(&IGeneralConstraint::SetName, name); }

}  // namespace velorium
