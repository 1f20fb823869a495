// Python class Variable: a column of a model. It has no constructor: a model makes variables.
// Its operators build linear, quadratic and general expressions and constraints; each operator
// name tries its overloads in the order registered here.
#include "python/classes/class_declarations.hpp"
#include "python/classes/expression_binding.hpp"
#include "python/text/object_text.hpp"

namespace veloriumpy {

void register_variable(py::module_& module) {
  using velorium::variable_type;
  auto variable = declared_class<Variable>(module, "Variable");
  variable.def("__repr__", &velorium::variable_repr)
      .def("get_name", &Variable::get_name, "Получает имя переменной в модели\n\n        :return: имя переменной")
      .def("set_name", &Variable::set_name, name_argument("var_name"),
           "Задаёт имя переменной в модели\n\n        :param var_name: имя переменной")
      .def("get_type", &Variable::get_type, "Получает тип переменной\n\n        :return: тип переменной")
      .def("set_type", &Variable::set_type, py::arg("type"),
           "Задает новый тип переменной в модели\n\n        :param type: новый тип переменной")
      .def("set_upper_bound", &Variable::set_upper_bound, py::arg("upper_bound"),
           "Задаёт верхнюю границу для переменной\n\n        :param upper_bound: новая верхняя граница переменной")
      .def("get_upper_bound", &Variable::get_upper_bound,
           "Получает верхнюю границу переменной\n\n        :return: верхнюю границу переменной")
      .def("set_lower_bound", &Variable::set_lower_bound, py::arg("lower_bound"),
           "Задаёт нижнюю границу для переменной\n\n        :param lower_bound: новая нижняя граница переменной")
      .def("get_lower_bound", &Variable::get_lower_bound,
           "Получает нижнюю границу переменной\n\n        :return: нижнюю границу переменной")
      .def("remove", &Variable::remove,
           "Помечает переменную как удаленную. Переменная не будет участвовать в расчетах");

  variable.def("__add__", [](const Variable& v, double c) { return v + c; }, kOperator)
      .def("__add__", [](const Variable& v, const Variable& w) { return v + w; }, kOperator)
      .def("__add__", [](const Variable& v, const LinearExpression& e) { return v + e; }, kOperator)
      .def("__add__", [](const Variable& v, const QuadExpression& q) { return v + q; }, kOperator)
      .def("__add__", [](const Variable& v, const GeneralExpression& g) { return g + v; }, kOperator);
  variable.def("__sub__", [](const Variable& v, double c) { return v - c; }, kOperator)
      .def("__sub__", [](const Variable& v, const Variable& w) { return v - w; }, kOperator)
      .def("__sub__", [](const Variable& v, const LinearExpression& e) { return v - e; }, kOperator)
      .def("__sub__", [](const Variable& v, const QuadExpression& q) { return v - q; }, kOperator)
      .def("__sub__", [](const Variable& v, const GeneralExpression& g) { return -g + v; }, kOperator);
  variable.def("__rsub__", [](const Variable& v, double c) { return c - v; }, kOperator);
  variable.def("__radd__", [](const Variable& v, double c) { return v + c; }, kOperator);
  variable.def("__mul__", [](const Variable& v, double c) { return v * c; }, kOperator)
      .def("__mul__", [](const Variable& v, const Variable& w) { return v * w; }, kOperator)
      .def("__mul__", [](const Variable& v, const LinearExpression& e) { return multiply(e, v, 1.0); }, kOperator)
      .def("__mul__", [](const Variable& v, const QuadExpression& q) { return general_form(v) * q; }, kOperator)
      .def("__mul__", [](const Variable& v, const GeneralExpression& g) { return g * v; }, kOperator);
  variable.def("__truediv__", [](const Variable& v, double c) { return v / c; }, kOperator)
      .def("__truediv__", [](const Variable& v, const Variable& w) { return general_form(v) / w; }, kOperator)
      .def("__truediv__", [](const Variable& v, const LinearExpression& e) { return general_form(v) / e; }, kOperator)
      .def("__truediv__", [](const Variable& v, const QuadExpression& q) { return general_form(v) / q; }, kOperator)
      .def("__truediv__", [](const Variable& v, const GeneralExpression& g) { return general_form(v) / g; },
           kOperator);
  variable.def("__rmul__", [](const Variable& v, double c) { return v * c; }, kOperator);
  variable.def("__neg__", [](const Variable& v) { return -v; }, kOperator);
  variable.def("__ge__", [](const Variable& v, double c) { return compare(v, Sense::greater_equal, c); }, kOperator)
      .def("__ge__", [](const Variable& v, const Variable& w) { return compare(v, Sense::greater_equal, w); },
           kOperator)
      // v >= e is kept as e - v <= 0.
      .def("__ge__", [](const Variable& v, const LinearExpression& e) { return compare(e, Sense::less_equal, v); },
           kOperator);
  variable.def("__le__", [](const Variable& v, double c) { return compare(v, Sense::less_equal, c); }, kOperator);
  variable.def("__eq__", [](const Variable& v, const Variable& w) { return compare(v, Sense::equal, w); }, kOperator)
      .def("__eq__", [](const Variable& v, double c) { return compare(v, Sense::equal, c); }, kOperator)
      .def("__eq__", [](const Variable& v, const GeneralExpression& g) { return equals(g, v); }, kOperator);
  variable.def("__pow__", &velorium::integer_power_Variable, kOperator);
}

}  // namespace veloriumpy
