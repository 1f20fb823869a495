// The classes that other classes' methods take or return, created before any member is bound.
//
// pybind11 writes a method's signature into its docstring when the method is bound: a class
// created by then shows as "veloriumpy.LinearExpression", any other as its C++ name. So each
// group of such classes is created first, in the order of the module's attributes, and each
// registration step then adds its members to the class that is already there.
#pragma once

#include <pybind11/pybind11.h>

namespace veloriumpy {

namespace py = pybind11;

// SolveResult, Constraint, GeneralConstraint, Variable, LinearExpression, QuadExpression and
// GeneralExpression.
void declare_member_classes(py::module_& module);
// MatrixModel and MatrixSolveResult.
void declare_matrix_classes(py::module_& module);

// The class `name` of the module, as declared above.
template <class Value>
py::class_<Value> declared_class(py::module_& module, const char* name) {
  return py::reinterpret_borrow<py::class_<Value>>(module.attr(name));
}

}  // namespace veloriumpy
