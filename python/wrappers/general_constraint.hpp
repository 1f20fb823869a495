// The module's value of a library general constraint: a variable equals a general
// expression tree.
#pragma once

#include "python/wrappers/general_expression.hpp"
#include "python/wrappers/interface_value.hpp"
#include "python/wrappers/variable.hpp"

namespace velorium {

class GeneralConstraint : public InterfaceValue<IGeneralConstraint> {
 public:
  using InterfaceValue::InterfaceValue;

  // A free general constraint variable == copy of expression; a null name is no name.
  GeneralConstraint(const GeneralExpression& expression, const Variable& variable, const char* name);

  // A view of the stored tree: changes made through it change the general constraint.
  GeneralExpression get_expression() const;
  Variable get_variable() const;
  void remove();
  const char* get_name() const;
  void set_name(const char* name);
};

}  // namespace velorium
