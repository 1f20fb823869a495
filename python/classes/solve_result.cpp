// Python class SolveResult: the result of a model's solve.
#include "python/module_registration.hpp"
#include "python/text/object_text.hpp"
#include "python/wrappers/solve_result.hpp"

namespace veloriumpy {

void register_solve_result(py::module_& module) {
  py::class_<velorium::SolveResult>(module, "SolveResult", "Результат расчета")
      .def("__repr__", [](const velorium::SolveResult& result) { return velorium::solve_result_repr(result); });
}

}  // namespace veloriumpy
