// Python class LinearExpression: linear terms and a constant. It may be a view of another
// owner's store (a quadratic expression, a constraint, the objective). Each operator name
// tries its overloads in the order registered here.
#include <cmath>

#include "python/classes/class_declarations.hpp"
#include "python/classes/expression_binding.hpp"
#include "python/classes/operator_fast_paths.hpp"
#include "python/text/object_text.hpp"

namespace veloriumpy {

namespace {

LinearExpression with_constant(double value) {
  LinearExpression e = velorium::new_linear_expression();
  // A NaN is handed on, for the library to refuse.
  if (value != 0.0 || std::isnan(value)) e.set_constant(value);
  return e;
}

LinearExpression with_term(const Variable& v, double coeff) {
  LinearExpression e = velorium::new_linear_expression();
  e.add_term(v, coeff);
  return e;
}

}  // namespace

void register_linear_expression(py::module_& module) {
  auto linear = declared_class<LinearExpression>(module, "LinearExpression");
  linear
      .def(py::init(&with_constant), py::arg("value") = 0.0,
           "Создает пустое выражение с возможностью задать константу\n\n        :param value: константа в выражении")
      .def(py::init(&with_term))
      .def("__repr__",
           [](const LinearExpression& e) { return velorium::expression_repr(e, e.get_quad_part()); })
      .def("get_terms_count", &LinearExpression::get_terms_count,
           "Возвращает количество элементов в выражении\n\n        :return: количество элементов в выражении")
      .def("empty", &LinearExpression::empty,
           "Возвращает истину, если выражение пустое\n        :return: истина, если выражение пустое")
      .def("get_term_variable", &LinearExpression::get_term_variable, py::arg("ind"),
           "Возвращает переменную по индексу элемента в выражении\n\n        :param ind: индекс элемента в "
           "выражении\n        :return: объект переменной")
      .def("get_term_variable_idx", &LinearExpression::get_term_variable_idx, py::arg("ind"),
           "Возвращает порядковый индекс переменной в модели по индексу элемента в выражении\n\n        :param ind: "
           "индекс элемента в выражении\n        :return: индекс переменной")
      .def("get_quad_part", &LinearExpression::get_quad_part,
           "Возвращает квадратичную часть выражения\n\n        :return: квадратичная часть выражения")
      .def("get_term_coeff", &LinearExpression::get_term_coeff, py::arg("ind"),
           "Возвращает коэффициент переменной по индексу элемента в выражении\n\n        :param ind: индекс элемента "
           "в выражении\n        :return: значение коэффициента переменной")
      .def("get_constant", &LinearExpression::get_constant,
           "Возвращает константу в выражении\n\n        :return: значение константы")
      .def("set_term_coeff", &LinearExpression::set_term_coeff, py::arg("ind"), py::arg("value"),
           "Задает коэффициент переменной по индексу выражения\n\n        :param ind: индекс элемента в выражении\n "
           "       :param value: значение коэффициента переменной в элементе")
      .def("set_constant", &LinearExpression::set_constant, py::arg("value"),
           "Задает константу в выражении\n\n        :param value: значение константы")
      .def("add_constant", &LinearExpression::add_constant, py::arg("value"),
           "Добавляет константу к выражению\n\n        :param: value значение константы")
      .def("add_term", &LinearExpression::add_term, py::arg("var"), py::arg("coeff") = 1.0,
           "Добавляет элемент к выражению\n\n        :param var: переменная\n        :param coeff: коэффициент к "
           "переменной")
      .def("add_expression", &LinearExpression::add_expression, py::arg("expr"), py::arg("mult"),
           "Добавляет выражение к выражению\n\n        :param expr: добавляемое выражение\n        :param mult: "
           "коэффициент к добавляемому выражению")
      .def("remove_term", &LinearExpression::remove_term, py::arg("idx"),
           "Удаляет элемент выражения по индексу\n\n        :param idx: индекс удаляемого элемента в выражении")
      .def("remove_variable", &LinearExpression::remove_variable, py::arg("var"),
           "Удаляет переменную из выражения\n\n        :param var: удаляемая переменная")
      .def("copy", &LinearExpression::copy,
           "Создает копию выражения, не привязанную к модели         или другому ограничению\n\n        :return: "
           "копия выражения")
      .def("get_name", &LinearExpression::get_name, "Получает имя выражения\n\n        :return: имя выражения")
      .def("set_name", &LinearExpression::set_name, name_argument("expr_name"),
           "Задаёт имя выражения\n\n        :param expr_name: имя выражения");

  linear.def(
      "__pow__",
      [](const LinearExpression& e, int n) { return velorium::integer_power_linear_quad(e, e.get_quad_part(), n); },
      kOperator);
  // In place: the forms with a number or a linear expression change self and give self back;
  // the others give a new object, which Python binds to the name.
  linear.def("__iadd__", [](LinearExpression& e, double c) -> LinearExpression& { return e += c; }, kOperator)
      .def("__iadd__", [](const LinearExpression& e, const Variable& v) { return e + v; }, kOperator)
      .def("__iadd__", [](const LinearExpression& e, const QuadExpression& q) { return e + q; }, kOperator)
      .def("__iadd__", [](const LinearExpression& e, const GeneralExpression& g) { return g + e; }, kOperator)
      .def("__iadd__", [](LinearExpression& e, const LinearExpression& e2) -> LinearExpression& { return e += e2; },
           kOperator);
  linear.def("__isub__", [](LinearExpression& e, double c) -> LinearExpression& { return e -= c; }, kOperator)
      .def("__isub__", [](const LinearExpression& e, const Variable& v) { return e - v; }, kOperator)
      .def("__isub__", [](const LinearExpression& e, const QuadExpression& q) { return e - q; }, kOperator)
      .def("__isub__", [](const LinearExpression& e, const GeneralExpression& g) { return -g + e; }, kOperator)
      .def("__isub__", [](LinearExpression& e, const LinearExpression& e2) -> LinearExpression& { return e -= e2; },
           kOperator);
  linear.def("__imul__", [](LinearExpression& e, double c) -> LinearExpression& { return e *= c; }, kOperator);
  linear.def("__itruediv__", [](LinearExpression& e, double c) -> LinearExpression& { return e /= c; }, kOperator);
  linear.def("__sub__", [](const LinearExpression& e, const QuadExpression& q) { return e - q; }, kOperator)
      .def("__sub__", [](const LinearExpression& e, const GeneralExpression& g) { return general_form(e) - g; },
           kOperator)
      .def("__sub__", [](const LinearExpression& e, const LinearExpression& e2) { return e - e2; }, kOperator)
      .def("__sub__", [](const LinearExpression& e, double c) { return e - c; }, kOperator)
      .def("__sub__", [](const LinearExpression& e, const Variable& v) { return e - v; }, kOperator);
  linear.def("__mul__", [](const LinearExpression& e, const QuadExpression& q) { return general_form(e) * q; },
             kOperator)
      .def("__mul__", [](const LinearExpression& e, const LinearExpression& e2) { return e * e2; }, kOperator)
      .def("__mul__", [](const LinearExpression& e, const GeneralExpression& g) { return general_form(e) * g; },
           kOperator)
      .def("__mul__", [](const LinearExpression& e, const Variable& v) { return multiply(e, v, 1.0); }, kOperator)
      .def("__mul__", [](const LinearExpression& e, double c) { return e * c; }, kOperator);
  linear
      .def("__truediv__", [](const LinearExpression& e, const QuadExpression& q) { return general_form(e) / q; },
           kOperator)
      .def("__truediv__", [](const LinearExpression& e, const LinearExpression& e2) { return general_form(e) / e2; },
           kOperator)
      .def("__truediv__", [](const LinearExpression& e, const Variable& v) { return general_form(e) / v; },
           kOperator)
      .def("__truediv__", [](const LinearExpression& e, double c) { return e / c; }, kOperator);
  linear.def("__add__", [](const LinearExpression& e, double c) { return e + c; }, kOperator)
      .def("__add__", [](const LinearExpression& e, const Variable& v) { return e + v; }, kOperator)
      .def("__add__", [](const LinearExpression& e, const QuadExpression& q) { return e + q; }, kOperator)
      .def("__add__", [](const LinearExpression& e, const GeneralExpression& g) { return general_form(e) + g; },
           kOperator)
      .def("__add__", [](const LinearExpression& e, const LinearExpression& e2) { return e + e2; }, kOperator);
  linear.def("__radd__", [](const LinearExpression& e, double c) { return e + c; }, kOperator);
  linear.def("__rtruediv__", [](const LinearExpression& e, double c) { return general_form(c) / e; }, kOperator);
  linear.def("__rsub__", [](const LinearExpression& e, double c) { return c - e; }, kOperator);
  linear.def("__neg__", [](const LinearExpression& e) { return -e; }, kOperator);
  linear.def("__rmul__", [](const LinearExpression& e, double c) { return e * c; }, kOperator);
  linear
      .def("__ge__",
           [](const LinearExpression& e, const LinearExpression& e2) { return compare(e, Sense::greater_equal, e2); },
           kOperator)
      .def("__ge__", [](const LinearExpression& e, const Variable& v) { return compare(e, Sense::greater_equal, v); })
      .def("__ge__", [](const LinearExpression& e, double c) { return compare(e, Sense::greater_equal, c); },
           kOperator);
  // pybind11 reads the operator mark from the first overload of a chain: with it, an operand
  // of another kind gives NotImplemented, so that == falls back to identity (e == None is False).
  linear.def("__eq__", [](const LinearExpression& e, const Variable& v) { return compare(e, Sense::equal, v); },
             kOperator)
      .def("__eq__", [](const LinearExpression& e, const LinearExpression& e2) { return compare(e, Sense::equal, e2); })
      .def("__eq__", [](const LinearExpression& e, const QuadExpression& q) { return compare(q, Sense::equal, e); })
      .def("__eq__", [](const LinearExpression& e, double c) { return compare(e, Sense::equal, c); }, kOperator);
  linear.def("__le__", [](const LinearExpression& e, double c) { return compare(e, Sense::less_equal, c); },
             kOperator);
  install_operator_fast_paths();
}

}  // namespace veloriumpy
