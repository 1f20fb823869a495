// Python class LinearExpression.
#include "python/module_registration.hpp"
#include "python/text/object_text.hpp"
#include "python/wrappers/linear_expression.hpp"
#include "python/wrappers/quad_expression.hpp"

namespace veloriumpy {

void register_linear_expression(py::module_& module) {
  using velorium::LinearExpression;
  py::class_<LinearExpression>(module, "LinearExpression",
                               "Обеспечивает работу с линейными выражениями -     добавление/удаление элементов и "
                               "изменение коэффициентов.    Элемент выражения - переменная * коэффициент.")
      .def("__repr__", [](const LinearExpression& expression) {
        return velorium::expression_repr(expression, expression.get_quad_part());
      });
}

}  // namespace veloriumpy
