// Python numbers as doubles, for the module's own conversions of items it reads itself.
#pragma once

#include <pybind11/pybind11.h>

namespace veloriumpy {

namespace py = pybind11;

// The float value of `object`: a float or an int directly, any other number through its float
// conversion. Anything else, or a number that does not fit a double, raises pybind11's cast
// error (RuntimeError) naming the object's type.
double cast_to_double(py::handle object);

}  // namespace veloriumpy
