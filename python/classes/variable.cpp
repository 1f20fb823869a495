// Python class Variable: a column of a model. It has no constructor: a model makes variables.
#include "python/module_registration.hpp"
#include "python/text/object_text.hpp"
#include "python/wrappers/variable.hpp"

namespace veloriumpy {

void register_variable(py::module_& module) {
  py::class_<velorium::Variable>(
      module, "Variable",
      "Работа с переменной - чтение/изменение имени,     верхней и нижней границы, типа, а также удаление")
      .def("__repr__", &velorium::variable_repr);
}

}  // namespace veloriumpy
