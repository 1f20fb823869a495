// What the registrations of the expression classes share: the operand types, the mark that
// makes an operator answer NotImplemented to an operand it has no overload for (so that Python
// tries the other operand's reflected method), and the text arguments that refuse None.
#pragma once

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "python/module_registration.hpp"
#include "python/wrappers/expression_arithmetic.hpp"
#include "python/wrappers/expression_comparisons.hpp"
#include "python/wrappers/expression_power.hpp"
#include "python/wrappers/general_arithmetic.hpp"

namespace veloriumpy {

using velorium::Constraint;
using velorium::GeneralConstraint;
using velorium::GeneralExpression;
using velorium::LinearExpression;
using velorium::QuadExpression;
using velorium::Variable;
using Sense = velorium::constraint_sense;
using velorium::PowerResult;
using velorium::compare;
using velorium::equals;
using velorium::general_form;
using velorium::multiply;

inline const py::is_operator kOperator{};

// The expression and constraint classes are registered local to this module. An operator tries
// its overloads in turn, and pybind11 answers every operand that does not load by asking the
// operand's class for the attribute of a class local to some module: a class without it raises
// and clears an AttributeError each time, which made the failed tries of a chain cost more than
// the operation itself.
inline const py::module_local kLocalClass{};

// A name argument: None would reach the library as a missing name, which it does not take.
inline py::arg name_argument(const char* name) { return py::arg(name).none(false); }

}  // namespace veloriumpy
