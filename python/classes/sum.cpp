// The module function sum: any iterable of numbers, variables and expressions, added in one
// pass into one expression of the narrowest kind.
#include "python/classes/expression_binding.hpp"
#include "python/number_conversion.hpp"
#include "python/wrappers/expression_sum.hpp"

namespace veloriumpy {

namespace {

bool is_instance(py::handle item, const py::handle& type) {
  return PyObject_TypeCheck(item.ptr(), reinterpret_cast<PyTypeObject*>(type.ptr())) != 0;
}

PowerResult sum_of(const py::iterable& items) {
  // The classes are looked up once, not for every item.
  const py::handle variable = py::type::of<Variable>();
  const py::handle linear = py::type::of<LinearExpression>();
  const py::handle quadratic = py::type::of<QuadExpression>();
  const py::handle general = py::type::of<GeneralExpression>();
  velorium::ExpressionSum sum;
  for (py::handle item : items) {
    if (is_instance(item, variable)) {
      sum.add(item.cast<const Variable&>());
    } else if (is_instance(item, linear)) {
      sum.add(item.cast<const LinearExpression&>());
    } else if (is_instance(item, quadratic)) {
      sum.add(item.cast<const QuadExpression&>());
    } else if (is_instance(item, general)) {
      sum.add(item.cast<const GeneralExpression&>());
    } else {
      // Every other item is a number, or the sum fails: nothing is left out unseen.
      sum.add(cast_to_double(item));
    }
  }
  return sum.result();
}

}  // namespace

void register_sum(py::module_& module) {
  module.def("sum", &sum_of, py::arg("iterable"),
             "Суммирует переменные и/или линейные выражения\n                   :return: объект выражения");
}

}  // namespace veloriumpy
