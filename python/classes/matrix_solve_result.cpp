// Python class MatrixSolveResult: the result of a matrix model's solve.
#include "python/module_registration.hpp"
#include "python/text/object_text.hpp"
#include "python/wrappers/solve_result.hpp"

namespace veloriumpy {

void register_matrix_solve_result(py::module_& module) {
  py::class_<velorium::MatrixSolveResult>(module, "MatrixSolveResult", "Результат расчета матричной модели")
      .def("__repr__", [](const velorium::MatrixSolveResult& result) { return velorium::solve_result_repr(result); });
}

}  // namespace veloriumpy
