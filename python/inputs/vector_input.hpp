// The two vector rules of the matrix inputs.
//
// Real vectors (bounds, coefficients, right-hand sides): a float (or subclass); a
// one-dimensional numpy array of float64, float32, int32 or int64; an int (or bool), read
// exactly as a 64-bit integer; a list (or subclass) of floats and ints (ints as 64-bit
// integers). Integer vectors (variable types, senses): a member of the argument's enumeration;
// an int (or bool); a one-dimensional numpy array of int32 or int64; a list of ints and
// members. An int that does not fit the target gives the rule's failure (a list item: 141),
// never a value cut to fewer bits; any other item of a list gives 141 with its index and text;
// any other object gives the rule's failure.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <vector>

#include "python/inputs/input_errors.hpp"

namespace veloriumpy {

namespace py = pybind11;

std::vector<double> real_vector(py::handle object, InputMessage failure);

// `enumeration` is the Python class of the argument's enumeration.
std::vector<std::int32_t> integer_vector(py::handle object, py::handle enumeration, InputMessage failure);

}  // namespace veloriumpy
