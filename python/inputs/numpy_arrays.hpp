// Reading numpy arrays in place: element types by numpy's own equivalence, elements along the
// strides (any layout, any alignment), without a Python object per element.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <cstring>

namespace veloriumpy {

namespace py = pybind11;

enum class ElementType { float64, float32, int32, int64, other };

// The element type of `array` among the four that the matrix inputs take.
ElementType element_type(const py::array& array);
// Whether the array's elements are of `type`, as numpy compares element types.
bool has_element_type(const py::array& array, const py::dtype& type);

// Element `i` of a one-dimensional array, or (row, column) of a two-dimensional one, as T.
template <class T>
T element_at(const py::array& array, py::ssize_t offset_bytes) {
  T value;
  std::memcpy(&value, static_cast<const char*>(array.data()) + offset_bytes, sizeof value);
  return value;
}

// Calls `visit(double)` for every element of a one-dimensional array of one of the four
// types, in index order.
template <class Visit>
void for_each_as_double(const py::array& array, ElementType type, Visit&& visit) {
  const py::ssize_t count = array.shape(0);
  const py::ssize_t stride = array.strides(0);
  auto run = [&](auto sample) {
    using T = decltype(sample);
    for (py::ssize_t i = 0; i < count; ++i) visit(static_cast<double>(element_at<T>(array, i * stride)));
  };
  switch (type) {
    case ElementType::float64: run(double{}); break;
    case ElementType::float32: run(float{}); break;
    case ElementType::int32: run(std::int32_t{}); break;
    case ElementType::int64: run(std::int64_t{}); break;
    case ElementType::other: break;
  }
}

// numpy.asarray(object, dtype) (dtype may be None), with numpy's own error when it fails.
py::array as_numpy_array(py::handle object, py::handle dtype);
// numpy.ascontiguousarray(array): the array itself when it is contiguous already.
py::array as_contiguous_array(const py::array& array);

}  // namespace veloriumpy
