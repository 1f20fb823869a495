// Python class GeneralExpression: a node of a nonlinear expression tree.
#include "python/module_registration.hpp"
#include "python/text/object_text.hpp"
#include "python/wrappers/general_expression.hpp"

namespace veloriumpy {

void register_general_expression(py::module_& module) {
  py::class_<velorium::GeneralExpression>(module, "GeneralExpression", "Выражение общего вида")
      .def("__repr__", &velorium::general_expression_repr);
}

}  // namespace veloriumpy
