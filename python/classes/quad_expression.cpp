// Python class QuadExpression: quadratic terms, and through its linear view linear terms and a
// constant. Each operator name tries its overloads in the order registered here.
#include "python/classes/class_declarations.hpp"
#include "python/classes/expression_binding.hpp"
#include "python/classes/operator_fast_paths.hpp"
#include "python/text/object_text.hpp"

namespace veloriumpy {

void register_quad_expression(py::module_& module) {
  using velorium::new_quad_expression;
  auto quadratic = declared_class<QuadExpression>(module, "QuadExpression");
  quadratic.def(py::init(&new_quad_expression), "Создает пустое выражение")
      .def("__repr__", [](const QuadExpression& q) { return velorium::expression_repr(q.get_linear_part(), q); })
      .def("get_terms_count", &QuadExpression::get_terms_count,
           "Возвращает количество элементов в выражении\n\n        :return: количество элементов в выражении")
      .def("empty", &QuadExpression::empty,
           "Возвращает истину, если выражение пустое\n        :return: истина, если выражение пустое")
      .def("get_term_variable1", &QuadExpression::get_term_variable1, py::arg("ind"),
           "Возвращает первую переменную по индексу элемента в выражении\n\n        :param ind: индекс элемента в "
           "выражении\n        :return: объект переменной")
      .def("get_term_variable2", &QuadExpression::get_term_variable2, py::arg("ind"),
           "Возвращает вторую переменную по индексу элемента в выражении\n\n        :param ind: индекс элемента в "
           "выражении\n        :return: объект переменной")
      .def("get_term_coeff", &QuadExpression::get_term_coeff, py::arg("ind"),
           "Возвращает коэффициент по индексу элемента в выражении\n\n        :param ind: индекс элемента в "
           "выражении\n        :return: значение коэффициента")
      .def("set_term_coeff", &QuadExpression::set_term_coeff, py::arg("ind"), py::arg("value"),
           "Задает коэффициент по индексу выражения\n\n        :param ind: индекс элемента в выражении\n        "
           ":param value: значение коэффициента в элементе")
      .def("add_term", &QuadExpression::add_term, py::arg("var1"), py::arg("var2"), py::arg("coeff") = 1.0,
           "Добавляет элемент к выражению\n\n        :param var1: переменная 1\n        :param var2: переменная "
           "2\n        :param coeff: коэффициент")
      .def("add_expression", py::overload_cast<const QuadExpression&, double>(&QuadExpression::add_expression),
           py::arg("expr"), py::arg("mult"),
           "Добавляет выражение к выражению\n\n        :param expr: добавляемое выражение\n        :param mult: "
           "коэффициент к добавляемому выражению")
      .def("add_expression", py::overload_cast<const LinearExpression&, double>(&QuadExpression::add_expression),
           py::arg("expr"), py::arg("mult"),
           "Добавляет выражение к выражению\n\n        :param expr: добавляемое выражение\n        :param mult: "
           "коэффициент к добавляемому выражению")
      .def("remove_term", &QuadExpression::remove_term, py::arg("idx"),
           "Удаляет элемент выражения по индексу\n\n        :param idx: индекс удаляемого элемента в выражении")
      .def("get_linear_part", &QuadExpression::get_linear_part,
           "Получает линейную часть выражения\n        :return: линейная часть выражения")
      .def("copy", &QuadExpression::copy,
           "Создает копию выражения, не привязанную к модели         или другому ограничению\n\n        :return: "
           "копия выражения")
      .def("get_name", &QuadExpression::get_name, "Получает имя выражения\n\n        :return: имя выражения")
      .def("set_name", &QuadExpression::set_name, name_argument("expr_name"),
           "Задаёт имя выражения\n\n        :param expr_name: имя выражения");

  quadratic.def(
      "__pow__",
      [](const QuadExpression& q, int n) { return velorium::integer_power_linear_quad(q.get_linear_part(), q, n); },
      kOperator);
  // In place: the forms with a number or a quadratic expression change self and give self
  // back; the others give a new object, which Python binds to the name.
  quadratic.def("__iadd__", [](QuadExpression& q, double c) -> QuadExpression& { return q += c; }, kOperator)
      .def("__iadd__", [](const QuadExpression& q, const Variable& v) { return q + v; }, kOperator)
      .def("__iadd__", [](const QuadExpression& q, const LinearExpression& e) { return q + e; }, kOperator)
      .def("__iadd__", [](const QuadExpression& q, const GeneralExpression& g) { return general_form(q) + g; },
           kOperator)
      .def("__iadd__", [](QuadExpression& q, const QuadExpression& q2) -> QuadExpression& { return q += q2; },
           kOperator);
  quadratic.def("__isub__", [](QuadExpression& q, double c) -> QuadExpression& { return q -= c; }, kOperator)
      .def("__isub__", [](const QuadExpression& q, const Variable& v) { return q - v; }, kOperator)
      .def("__isub__", [](const QuadExpression& q, const LinearExpression& e) { return q - e; }, kOperator)
      .def("__isub__", [](const QuadExpression& q, const GeneralExpression& g) { return general_form(q) - g; },
           kOperator)
      .def("__isub__", [](QuadExpression& q, const QuadExpression& q2) -> QuadExpression& { return q -= q2; },
           kOperator);
  quadratic.def("__imul__", [](QuadExpression& q, double c) -> QuadExpression& { return q *= c; }, kOperator);
  quadratic.def("__itruediv__", [](QuadExpression& q, double c) -> QuadExpression& { return q /= c; }, kOperator);
  quadratic.def("__mul__", [](const QuadExpression& q, const Variable& v) { return general_form(q) * v; }, kOperator)
      .def("__mul__", [](const QuadExpression& q, const LinearExpression& e) { return general_form(q) * e; },
           kOperator)
      .def("__mul__", [](const QuadExpression& q, const QuadExpression& q2) { return general_form(q) * q2; },
           kOperator)
      .def("__mul__", [](const QuadExpression& q, const GeneralExpression& g) { return general_form(q) * g; },
           kOperator)
      .def("__mul__", [](const QuadExpression& q, double c) { return q * c; }, kOperator);
  quadratic
      .def("__truediv__", [](const QuadExpression& q, const Variable& v) { return general_form(q) / v; }, kOperator)
      .def("__truediv__", [](const QuadExpression& q, const LinearExpression& e) { return general_form(q) / e; },
           kOperator)
      .def("__truediv__", [](const QuadExpression& q, const QuadExpression& q2) { return general_form(q) / q2; },
           kOperator)
      .def("__truediv__", [](const QuadExpression& q, const GeneralExpression& g) { return general_form(q) / g; },
           kOperator)
      .def("__truediv__", [](const QuadExpression& q, double c) { return q / c; }, kOperator);
  quadratic.def("__add__", [](const QuadExpression& q, double c) { return q + c; }, kOperator)
      .def("__add__", [](const QuadExpression& q, const Variable& v) { return q + v; }, kOperator)
      .def("__add__", [](const QuadExpression& q, const LinearExpression& e) { return q + e; }, kOperator)
      .def("__add__", [](const QuadExpression& q, const GeneralExpression& g) { return general_form(q) + g; },
           kOperator)
      .def("__add__", [](const QuadExpression& q, const QuadExpression& q2) { return q + q2; }, kOperator);
  quadratic.def("__radd__", [](const QuadExpression& q, double c) { return q + c; }, kOperator);
  quadratic.def("__sub__", [](const QuadExpression& q, const QuadExpression& q2) { return q - q2; }, kOperator)
      .def("__sub__", [](const QuadExpression& q, double c) { return q - c; }, kOperator)
      .def("__sub__", [](const QuadExpression& q, const Variable& v) { return q - v; }, kOperator)
      .def("__sub__", [](const QuadExpression& q, const LinearExpression& e) { return q - e; }, kOperator)
      .def("__sub__", [](const QuadExpression& q, const GeneralExpression& g) { return general_form(q) - g; },
           kOperator);
  quadratic.def("__rsub__", [](const QuadExpression& q, double c) { return c - q; }, kOperator);
  quadratic.def("__neg__", [](const QuadExpression& q) { return -q; }, kOperator);
  quadratic.def("__rmul__", [](const QuadExpression& q, double c) { return q * c; }, kOperator);
  quadratic
      .def("__ge__",
           [](const QuadExpression& q, const QuadExpression& q2) { return compare(q, Sense::greater_equal, q2); },
           kOperator)
      .def("__ge__", [](const QuadExpression& q, const Variable& v) { return compare(q, Sense::greater_equal, v); })
      .def("__ge__",
           [](const QuadExpression& q, const LinearExpression& e) { return compare(q, Sense::greater_equal, e); })
      .def("__ge__", [](const QuadExpression& q, double c) { return compare(q, Sense::greater_equal, c); },
           kOperator);
  // The operator mark goes on the first overload of each chain, where pybind11 reads it.
  quadratic.def("__le__", [](const QuadExpression& q, const Variable& v) { return compare(q, Sense::less_equal, v); },
                kOperator)
      .def("__le__", [](const QuadExpression& q, const LinearExpression& e) { return compare(q, Sense::less_equal, e); })
      .def("__le__", [](const QuadExpression& q, const QuadExpression& q2) { return compare(q, Sense::less_equal, q2); })
      .def("__le__", [](const QuadExpression& q, double c) { return compare(q, Sense::less_equal, c); }, kOperator);
  quadratic.def("__eq__", [](const QuadExpression& q, const Variable& v) { return compare(q, Sense::equal, v); },
                kOperator)
      .def("__eq__", [](const QuadExpression& q, const LinearExpression& e) { return compare(q, Sense::equal, e); })
      .def("__eq__", [](const QuadExpression& q, const QuadExpression& q2) { return compare(q, Sense::equal, q2); })
      .def("__eq__", [](const QuadExpression& q, double c) { return compare(q, Sense::equal, c); }, kOperator);
  install_quadratic_comparison();
}

}  // namespace veloriumpy
