// The constructor, the text and the figure getters that SolveResult and MatrixSolveResult
// share, registered in their order on either class; the docstrings are each class's own.
#pragma once

#include <pybind11/pybind11.h>

#include <memory>
#include <utility>

#include "python/classes/arguments.hpp"
#include "python/text/object_text.hpp"
#include "python/wrappers/solve_result.hpp"

namespace veloriumpy {

struct FigureDocstrings {
  const char* get_solve_result;
  const char* get_relative_gap;
  const char* get_objective_value;
  const char* get_solution_status;
  const char* get_solve_time;
  const char* get_best_bound;
  const char* get_nodes_count;
  const char* get_iterations_count;
};

// `init_doc` null: the constructor has no docstring.
template <class Result>
void register_result_figures(py::class_<Result>& result_class, const char* init_doc, const FigureDocstrings& docs) {
  using velorium::SolveFigures;
  // The fetch never raises: what it found shows in the getters. It waits for the process's
  // remote-operation lock and for the service without the interpreter's lock; such a result
  // belongs to no model.
  auto fetch = [](const char* calc_uid, const char* name_mapping_file) {
    velorium::SharedInterface<velorium::ISolveResult> fetched;
    {
      const py::gil_scoped_release unlocked;
      fetched = velorium::fetch_solve_result(calc_uid, name_mapping_file);
    }
    return Result(std::move(fetched));
  };
  if (init_doc) {
    result_class.def(py::init(fetch), text_arg("calc_uid"), text_arg("name_mapping_file"), init_doc);
  } else {
    result_class.def(py::init(fetch), text_arg("calc_uid"), text_arg("name_mapping_file"));
  }
  result_class.def("__repr__", [](const Result& result) { return velorium::solve_result_repr(result); })
      .def("get_solve_result", &SolveFigures::get_solve_result, docs.get_solve_result)
      .def("get_relative_gap", &SolveFigures::get_relative_gap, docs.get_relative_gap)
      .def("get_objective_value", &SolveFigures::get_objective_value, docs.get_objective_value)
      .def("get_solution_status", &SolveFigures::get_solution_status, docs.get_solution_status)
      .def("get_solve_time", &SolveFigures::get_solve_time, docs.get_solve_time)
      .def("get_best_bound", &SolveFigures::get_best_bound, docs.get_best_bound)
      .def("get_nodes_count", &SolveFigures::get_nodes_count, docs.get_nodes_count)
      .def("get_iterations_count", &SolveFigures::get_iterations_count, docs.get_iterations_count);
}

}  // namespace veloriumpy
