// The module's value of a library variable (a column of its model).
#pragma once

#include "python/wrappers/interface_value.hpp"

namespace velorium {

class Variable : public InterfaceValue<IVariable> {
 public:
  using InterfaceValue::InterfaceValue;

  // The text belongs to the variable object and stays valid while it is unchanged.
  const char* get_name() const;
  void set_name(const char* name);
  variable_type get_type() const;
  void set_type(variable_type type);
  void set_upper_bound(double value);
  double get_upper_bound() const;
  void set_lower_bound(double value);
  double get_lower_bound() const;
  void remove();
};

}  // namespace velorium
