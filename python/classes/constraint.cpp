// Python class Constraint: a linear or quadratic constraint, a model row or a free one.
#include "python/module_registration.hpp"
#include "python/text/object_text.hpp"
#include "python/wrappers/constraint.hpp"

namespace veloriumpy {

void register_constraint(py::module_& module) {
  py::class_<velorium::Constraint>(
      module, "Constraint",
      "Работа с линейными ограничениями у модели, \n\n    позволяет работать с выражением и границами, а также удалять его")
      .def("__repr__", &velorium::constraint_repr);
}

}  // namespace veloriumpy
