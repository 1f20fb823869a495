#include "python/inputs/numpy_arrays.hpp"

namespace veloriumpy {

namespace {

bool same_type(const py::dtype& a, const py::dtype& b) {
  // numpy's equality of element types: byte order and aliases included.
  const int equal = PyObject_RichCompareBool(a.ptr(), b.ptr(), Py_EQ);
  if (equal < 0) throw py::error_already_set();
  return equal == 1;
}

// A function of numpy, looked up once and kept for the life of the process.
const py::object& numpy_function(const char* name) {
  return *new py::object(py::module_::import("numpy").attr(name));
}

}  // namespace

ElementType element_type(const py::array& array) {
  const py::dtype type = array.dtype();
  if (same_type(type, py::dtype::of<double>())) return ElementType::float64;
  if (same_type(type, py::dtype::of<float>())) return ElementType::float32;
  if (same_type(type, py::dtype::of<std::int32_t>())) return ElementType::int32;
  if (same_type(type, py::dtype::of<std::int64_t>())) return ElementType::int64;
  return ElementType::other;
}

bool has_element_type(const py::array& array, const py::dtype& type) { return same_type(array.dtype(), type); }

py::array as_numpy_array(py::handle object, py::handle dtype) {
  static const py::object& asarray = numpy_function("asarray");
  return py::reinterpret_borrow<py::array>(asarray(object, dtype));
}

py::array as_contiguous_array(const py::array& array) {
  static const py::object& ascontiguousarray = numpy_function("ascontiguousarray");
  return py::reinterpret_borrow<py::array>(ascontiguousarray(array));
}

}  // namespace veloriumpy
