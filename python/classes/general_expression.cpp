// Python class GeneralExpression: a node of a nonlinear expression tree. Every operator name
// carries the operator mark, so an operand it has no overload for gives NotImplemented; each
// tries its overloads in the order registered here.
#include "python/classes/class_declarations.hpp"
#include "python/classes/expression_binding.hpp"
#include "python/text/object_text.hpp"

namespace veloriumpy {

namespace {

GeneralExpression empty_sum() {
  return GeneralExpression::independent(CreateGeneralExpression(velorium::gen_expr_type::plus));
}

}  // namespace

void register_general_expression(py::module_& module) {
  auto general = declared_class<GeneralExpression>(module, "GeneralExpression");
  general.def(py::init(&empty_sum), "Создает пустое выражение")
      .def("__repr__", &velorium::general_expression_repr)
      .def("get_expr_count", &GeneralExpression::get_expr_count,
           "Возвращает количество элементов в выражении\n\n        :return: количество элементов в выражении")
      .def("get_variable", &GeneralExpression::get_variable,
           "Возвращает переменную для выражения с типом variable\n\n        :return: объект переменной")
      .def("get_type", &GeneralExpression::get_type, "Возвращает тип выражения\n\n        :return: тип выражения")
      .def("get_constant", &GeneralExpression::get_constant,
           "Возвращает значение константы для выражения с типом constant\n\n        :return: значение константы")
      .def("get_arity", &GeneralExpression::get_arity,
           "Возвращает арность выражения\n\n        :return: арность выражения")
      .def("get_expr", &GeneralExpression::get_expr, py::arg("idx"),
           "Возвращает по индексу содержащееся выражение\n\n        :param idx : индекс получаемого выражения\n     "
           "   :return: выражение")
      .def("set_expr", &GeneralExpression::set_expr, py::arg("idx"), py::arg("expr"),
           "Задает выражение по индексу\n\n        :param idx : индекс выражения\n        :param expr : выражение")
      .def("add_expr", &GeneralExpression::add_expr, py::arg("expr"),
           "Добавляет выражение, для типов plus и multiply\n\n        :param expr : добавляемое выражение")
      .def("copy", &GeneralExpression::copy,
           "Создает копию выражения, не привязанную к модели         или другому ограничению\n\n        :return: "
           "копия выражения");

  general.def("__pow__", &velorium::integer_power_GeneralExpression, kOperator);
  // In place: the forms with a number, and *= and /= with a general expression, change self
  // and give self back; the others give a new object, which Python binds to the name.
  general.def("__iadd__", [](GeneralExpression& g, double c) -> GeneralExpression& { return g += c; }, kOperator)
      .def("__iadd__", [](const GeneralExpression& g, const Variable& v) { return g + v; }, kOperator)
      .def("__iadd__", [](const GeneralExpression& g, const LinearExpression& e) { return g + e; }, kOperator)
      .def("__iadd__", [](const GeneralExpression& g, const QuadExpression& q) { return g + q; }, kOperator)
      .def("__iadd__", [](const GeneralExpression& g, const GeneralExpression& g2) { return g + g2; }, kOperator);
  general.def("__isub__", [](GeneralExpression& g, double c) -> GeneralExpression& { return g -= c; }, kOperator)
      .def("__isub__", [](const GeneralExpression& g, const Variable& v) { return g - v; }, kOperator)
      .def("__isub__", [](const GeneralExpression& g, const LinearExpression& e) { return g - e; }, kOperator)
      .def("__isub__", [](const GeneralExpression& g, const QuadExpression& q) { return g - q; }, kOperator)
      .def("__isub__", [](const GeneralExpression& g, const GeneralExpression& g2) { return g - g2; }, kOperator);
  general.def("__imul__", [](GeneralExpression& g, double c) -> GeneralExpression& { return g *= c; }, kOperator)
      .def("__imul__", [](GeneralExpression& g, const GeneralExpression& g2) -> GeneralExpression& { return g *= g2; },
           kOperator);
  general.def("__itruediv__", [](GeneralExpression& g, double c) -> GeneralExpression& { return g /= c; }, kOperator)
      .def("__itruediv__",
           [](GeneralExpression& g, const GeneralExpression& g2) -> GeneralExpression& { return g /= g2; }, kOperator);
  general.def("__add__", [](const GeneralExpression& g, double c) { return g + c; }, kOperator)
      .def("__add__", [](const GeneralExpression& g, const Variable& v) { return g + v; }, kOperator)
      .def("__add__", [](const GeneralExpression& g, const LinearExpression& e) { return g + e; }, kOperator)
      .def("__add__", [](const GeneralExpression& g, const QuadExpression& q) { return g + q; }, kOperator)
      .def("__add__", [](const GeneralExpression& g, const GeneralExpression& g2) { return g + g2; }, kOperator);
  general.def("__radd__", [](const GeneralExpression& g, double c) { return g + c; }, kOperator);
  general.def("__mul__", [](const GeneralExpression& g, const Variable& v) { return g * v; }, kOperator)
      .def("__mul__", [](const GeneralExpression& g, const LinearExpression& e) { return g * e; }, kOperator)
      .def("__mul__", [](const GeneralExpression& g, const QuadExpression& q) { return g * q; }, kOperator)
      .def("__mul__", [](const GeneralExpression& g, const GeneralExpression& g2) { return g * g2; }, kOperator)
      .def("__mul__", [](const GeneralExpression& g, double c) { return g * c; }, kOperator);
  general.def("__truediv__", [](const GeneralExpression& g, const Variable& v) { return g / v; }, kOperator)
      .def("__truediv__", [](const GeneralExpression& g, const LinearExpression& e) { return g / e; }, kOperator)
      .def("__truediv__", [](const GeneralExpression& g, const QuadExpression& q) { return g / q; }, kOperator)
      .def("__truediv__", [](const GeneralExpression& g, const GeneralExpression& g2) { return g / g2; }, kOperator)
      .def("__truediv__", [](const GeneralExpression& g, double c) { return g / c; }, kOperator);
  general.def("__sub__", [](const GeneralExpression& g, const GeneralExpression& g2) { return g - g2; }, kOperator)
      .def("__sub__", [](const GeneralExpression& g, double c) { return g - c; }, kOperator)
      .def("__sub__", [](const GeneralExpression& g, const Variable& v) { return g - v; }, kOperator)
      .def("__sub__", [](const GeneralExpression& g, const QuadExpression& q) { return g - q; }, kOperator)
      .def("__sub__", [](const GeneralExpression& g, const LinearExpression& e) { return g - e; }, kOperator);
  general.def("__rsub__", [](const GeneralExpression& g, double c) { return c - g; }, kOperator);
  general.def("__neg__", [](const GeneralExpression& g) { return -g; }, kOperator);
  general.def("__rmul__", [](const GeneralExpression& g, double c) { return g * c; }, kOperator);
  general.def("__eq__", [](const GeneralExpression& g, const Variable& v) { return equals(g, v); }, kOperator);
}

}  // namespace veloriumpy
