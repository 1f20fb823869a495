// Python class QuadExpression.
#include "python/module_registration.hpp"
#include "python/text/object_text.hpp"
#include "python/wrappers/quad_expression.hpp"

namespace veloriumpy {

void register_quad_expression(py::module_& module) {
  using velorium::QuadExpression;
  py::class_<QuadExpression>(module, "QuadExpression",
                             "Обеспечивает работу с нелинейными выражениями -     добавление/удаление элементов и "
                             "изменение коэффициентов.    Элемент выражения - переменная * переменная * коэффициент.")
      .def("__repr__", [](const QuadExpression& expression) {
        return velorium::expression_repr(expression.get_linear_part(), expression);
      });
}

}  // namespace veloriumpy
