#include "python/wrappers/variable.hpp"

namespace velorium {

const char* Variable::get_name() const { return call(&IVariable::GetName); }
void Variable::set_name(const char* name) { call(&IVariable::SetName, name); }
variable_type Variable::get_type() const { return call(&IVariable::GetType); }
void Variable::set_type(variable_type type) { call(&IVariable::SetType, type); }
void Variable::set_upper_bound(double value) { call(&IVariable::SetUpperBound, value); }
double Variable::get_upper_bound() const { return call(&IVariable::GetUpperBound); }
void Variable::set_lower_bound(double value) { call(&IVariable::SetLowerBound, value); }
double Variable::get_lower_bound() const { return call(&IVariable::GetLowerBound); }
void Variable::remove() { call(&IVariable::Remove); }

}  // namespace velorium
