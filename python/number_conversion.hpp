// Python numbers as doubles, for the module's own conversions of items it reads itself.
#pragma once

#include <pybind11/pybind11.h>

namespace veloriumpy {

namespace py = pybind11;

// The float value of `object`: a float or an int directly, any other number through its float
// conversion. Anything else, or a number that does not fit a double, raises pybind11's cast
// error (RuntimeError) naming the object's type.
double cast_to_double(py::handle object);

// A plain Python float or int (no subclass, no other number) as a float argument takes it;
// false for anything else, and for an int too large for a double (the registered overloads
// then refuse it).
inline bool plain_number(PyObject* object, double& value) {
  if (PyFloat_CheckExact(object)) {
    value = PyFloat_AS_DOUBLE(object);
    return true;
  }
  if (PyLong_CheckExact(object)) {
    value = PyLong_AsDouble(object);
    if (value == -1.0 && PyErr_Occurred()) {
      PyErr_Clear();
      return false;
    }
    return true;
  }
  return false;
}

// An integer argument as any object with the index protocol gives it (an int, a bool, a numpy
// integer), kept exactly as a Python int; a float or anything else matches no overload.
struct IndexArgument {
  py::int_ value;
};

}  // namespace veloriumpy

namespace pybind11::detail {

template <>
struct type_caster<veloriumpy::IndexArgument> {
  PYBIND11_TYPE_CASTER(veloriumpy::IndexArgument, const_name("int"));

  bool load(handle source, bool) {
    if (!source || !PyIndex_Check(source.ptr())) return false;
    PyObject* index = PyNumber_Index(source.ptr());
    if (!index) {
      PyErr_Clear();
      return false;
    }
    value.value = reinterpret_steal<int_>(index);
    return true;
  }
};

}  // namespace pybind11::detail
