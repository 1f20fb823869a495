// The module's value of a library constraint: a model row, or a free constraint that belongs
// to no model.
#pragma once

#include "python/wrappers/interface_value.hpp"
#include "python/wrappers/linear_expression.hpp"
#include "python/wrappers/quad_expression.hpp"

namespace velorium {

// The text of a constraint object that the library could not make.
inline constexpr const char* kConstraintNotCreated = "Невозможно создать ограничение";

// Takes a constraint object that a factory just made; no object is refused with the text above.
template <class Interface>
SharedInterface<Interface> created_constraint(Interface* raw) {
  if (!raw) throw velorium_exception(-1, kConstraintNotCreated);
  return make_interface_ptr(raw);
}

class Constraint : public InterfaceValue<IConstraint> {
 public:
  using InterfaceValue::InterfaceValue;

  // A free constraint over a copy of the expression's store.
  Constraint(const LinearExpression& expression, constraint_sense sense, double rhs);
  Constraint(const QuadExpression& expression, constraint_sense sense, double rhs);

  // Views of the constraint's expression.
  LinearExpression get_linear_expression() const;
  QuadExpression get_quad_expression() const;
  void set_upper_bound(double value);
  double get_upper_bound() const;
  void set_lower_bound(double value);
  double get_lower_bound() const;
  double get_range() const;
  void set_range(double range);
  void remove();
  // Null for a constraint without a name.
  const char* get_name() const;
  void set_name(const char* name);
};

}  // namespace velorium
