// Python class GeneralConstraint: a variable equal to a general expression.
#include "python/classes/class_declarations.hpp"
#include "python/classes/expression_binding.hpp"
#include "python/text/object_text.hpp"

namespace veloriumpy {

void register_general_constraint(py::module_& module) {
  declared_class<GeneralConstraint>(module, "GeneralConstraint")
      // None for the name gives a constraint without a name.
      .def(py::init([](const GeneralExpression& g, const Variable& x, const char* name) {
        return GeneralConstraint(g, x, name);
      }))
      .def("__repr__", &velorium::general_constraint_repr)
      .def("get_name", &GeneralConstraint::get_name, "Получает имя ограничения\n\n        :return: имя ограничения")
      .def("set_name", &GeneralConstraint::set_name, name_argument("constr_name"),
           "Задаёт имя ограничения\n\n        :param constr_name: имя ограничения")
      .def("get_expression", &GeneralConstraint::get_expression,
           "Выражение, связанное с ограничением\n\n        :return: выражение, связанное с ограничением")
      .def("get_variable", &GeneralConstraint::get_variable,
           "Пеерменная, связанная с ограничением\n\n        :return: переменная, связанная с ограничением")
      .def("remove", &GeneralConstraint::remove,
           "Помечает ограничение как удаленное. Такое ограничение будет исключено из расчетов");
}

}  // namespace veloriumpy
