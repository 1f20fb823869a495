// Argument declarations shared by the class registrations.
#pragma once

#include <pybind11/pybind11.h>

namespace veloriumpy {

namespace py = pybind11;

// A text argument: None is refused with TypeError before the library sees a null text. (Only
// the names of models and of new members take None, for no name.)
inline py::arg text_arg(const char* name) { return py::arg(name).none(false); }

}  // namespace veloriumpy
