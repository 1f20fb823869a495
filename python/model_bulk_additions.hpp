// Model's additions of many members or values in one call: constraints from a dictionary,
// variables from a list of indices, start values from a dictionary. Each converts and checks
// every item before it adds the first, so an item of the wrong kind adds nothing; a refusal of
// the library itself stops at that item, and what was added before it stays.
#pragma once

#include <pybind11/pybind11.h>

#include <variant>

#include "python/wrappers/model.hpp"

namespace veloriumpy {

namespace py = pybind11;

// name -> Constraint. A key that is no text, a value that is no Constraint (None included) and
// a constraint without terms are refused before any is added.
void add_constraints(velorium::Model& model, const py::dict& constraints);

// name or Variable -> float or int. Items of another kind are skipped; an int is taken exactly
// (a value too large for a float is refused before any is recorded). An empty dictionary only
// marks the model as having start values.
void add_mip_start_values(velorium::Model& model, const py::dict& start_values);

// Bounds given once for all variables or as one list element per index.
using Bound = std::variant<double, py::list>;

// One variable per item of `indices`, named `prefix` + "_" + the item (an int, or a tuple whose
// ints are joined by "_"), of `type`, with objective coefficient 0. A list of bounds must be
// as long as `indices` (the lower bounds first: message 144, then 143).
py::list add_variable_list(velorium::Model& model, const py::list& indices, const Bound& lower, const Bound& upper,
                           velorium::variable_type type, const char* prefix);

}  // namespace veloriumpy
