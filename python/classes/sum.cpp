// The module function sum.
#include "python/module_registration.hpp"

namespace veloriumpy {

void register_sum(py::module_& module) {
  module.def(
      "sum",
      [](const py::object&) -> py::object {
        PyErr_SetString(PyExc_NotImplementedError, "veloriumpy.sum is not available in this build");
        throw py::error_already_set();
      },
      py::arg("iterable"), "Суммирует переменные и/или линейные выражения\n                   :return: объект выражения");
}

}  // namespace veloriumpy
