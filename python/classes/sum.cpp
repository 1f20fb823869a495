// The module function sum: any iterable of numbers, variables and expressions, added in one
// pass into one expression of the narrowest kind.
#include "python/classes/expression_binding.hpp"
#include "python/number_conversion.hpp"
#include "python/wrappers/expression_sum.hpp"

namespace veloriumpy {

namespace {

PowerResult sum_of(const py::iterable& items) {
  velorium::ExpressionSum sum;
  for (py::handle item : items) {
    if (py::isinstance<Variable>(item)) {
      sum.add(item.cast<const Variable&>());
    } else if (py::isinstance<LinearExpression>(item)) {
      sum.add(item.cast<const LinearExpression&>());
    } else if (py::isinstance<QuadExpression>(item)) {
      sum.add(item.cast<const QuadExpression&>());
    } else if (py::isinstance<GeneralExpression>(item)) {
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
