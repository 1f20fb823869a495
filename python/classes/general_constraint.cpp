// Python class GeneralConstraint: a variable equal to a general expression.
#include "python/module_registration.hpp"
#include "python/text/object_text.hpp"
#include "python/wrappers/general_constraint.hpp"

namespace veloriumpy {

void register_general_constraint(py::module_& module) {
  py::class_<velorium::GeneralConstraint>(module, "GeneralConstraint", "Работа с нелинейными ограничениями у модели")
      .def("__repr__", &velorium::general_constraint_repr);
}

}  // namespace veloriumpy
