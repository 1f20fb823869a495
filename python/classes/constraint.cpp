// Python class Constraint: a linear or quadratic constraint, a model row or a free one.
#include "python/classes/class_declarations.hpp"
#include "python/classes/expression_binding.hpp"
#include "python/text/object_text.hpp"

namespace veloriumpy {

void register_constraint(py::module_& module) {
  declared_class<Constraint>(module, "Constraint")
      .def(py::init([](const LinearExpression& e, velorium::constraint_sense sense, double rhs) {
        return Constraint(e, sense, rhs);
      }))
      .def("__repr__", &velorium::constraint_repr)
      .def("get_name", &Constraint::get_name, "Получает имя ограничения\n\n        :return: имя ограничения")
      .def("set_name", &Constraint::set_name, name_argument("constr_name"),
           "Задаёт имя ограничения\n\n        :param constr_name: имя ограничения")
      .def("get_linear_expression", &Constraint::get_linear_expression,
           "Линейная часть выражения, связанного с ограничением\n\n        :return: линейная часть выражения, "
           "связанного с ограничением")
      .def("get_quad_expression", &Constraint::get_quad_expression,
           "Квадратичная часть выражения, связанного с ограничением\n\n        :return: квадратичная часть "
           "выражения, связанного с ограничением")
      .def("set_upper_bound", &Constraint::set_upper_bound, py::arg("upper_bound"),
           "Задает верхнюю границу ограничения\n\n        :param upper_bound: новая верхняя граница ограничения")
      .def("get_upper_bound", &Constraint::get_upper_bound,
           "Получает верхнюю границу ограничения\n\n        :return: верхняя граница ограничения")
      .def("set_lower_bound", &Constraint::set_lower_bound, py::arg("lower_bound"),
           "Задаёт нижнюю границу ограничения\n\n        :param lower_bound: новая нижняя граница ограничения")
      .def("get_lower_bound", &Constraint::get_lower_bound,
           "Получает нижнюю границу ограничения\n\n        :return: нижняя граница ограничения")
      .def("get_range", &Constraint::get_range,
           "Получает интервал ограничения: upper_bound - lower_bound\n\n        :return: upper_bound - lower_bound")
      .def("set_range", &Constraint::set_range, py::arg("range"),
           "Задаёт интервал ограничения: lower_bound <= expression <= lower_bound + range\n\n        :param range: "
           "интервал для ограничения")
      .def("remove", &Constraint::remove,
           "Помечает ограничение как удаленное. Такое ограничение будет исключено из расчетов");
}

}  // namespace veloriumpy
