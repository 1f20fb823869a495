// The registration steps of the module, one per enumeration set, class, exception or function.
// The module entry (module.cpp) calls them in the fixed order of the module's attributes; each
// class step registers the whole class (constructors, methods, operators) before returning, on
// the class object that classes/class_declarations.hpp created.
#pragma once

#include <pybind11/pybind11.h>

namespace veloriumpy {

namespace py = pybind11;

void register_enumerations(py::module_& module);        // enumerations.cpp
void register_solve_result(py::module_& module);        // classes/solve_result.cpp
void register_constraint(py::module_& module);          // classes/constraint.cpp
void register_general_constraint(py::module_& module);  // classes/general_constraint.cpp
void register_variable(py::module_& module);            // classes/variable.cpp
void register_linear_expression(py::module_& module);   // classes/linear_expression.cpp
void register_quad_expression(py::module_& module);     // classes/quad_expression.cpp
void register_general_expression(py::module_& module);  // classes/general_expression.cpp
void register_model(py::module_& module);               // classes/model.cpp
void register_velorium_exception(py::module_& module);  // exception.cpp
void register_sum(py::module_& module);                 // classes/sum.cpp
void register_matrix_model(py::module_& module);        // classes/matrix_model.cpp
void register_matrix_solve_result(py::module_& module); // classes/matrix_solve_result.cpp
void register_math_func(py::module_& module);           // classes/math_func.cpp

}  // namespace veloriumpy
