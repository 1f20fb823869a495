#include "python/number_conversion.hpp"

#include <string>

namespace veloriumpy {

namespace {

bool failed(double value) { return value == -1.0 && PyErr_Occurred(); }

}  // namespace

double cast_to_double(py::handle object) {
  double value = PyFloat_AsDouble(object.ptr());
  if (!failed(value)) return value;
  PyErr_Clear();
  if (PyNumber_Check(object.ptr())) {
    const py::object converted = py::reinterpret_steal<py::object>(PyNumber_Float(object.ptr()));
    if (converted) {
      value = PyFloat_AsDouble(converted.ptr());
      if (!failed(value)) return value;
    }
    PyErr_Clear();
  }
  const std::string type = py::str(py::type::handle_of(object));
  throw py::cast_error("Unable to cast Python instance of type " + type +
                       " to C++ type '?' (#define PYBIND11_DETAILED_ERROR_MESSAGES or compile in debug mode for details)");
}

}  // namespace veloriumpy
