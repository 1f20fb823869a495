#include "python/inputs/vector_input.hpp"

#include <array>
#include <limits>
#include <string>
#include <utility>

#include "python/inputs/numpy_arrays.hpp"

namespace veloriumpy {

namespace {

// An int (or bool) as a 64-bit integer; false when it does not fit (the interpreter's
// overflow error is cleared).
bool int64_of(PyObject* item, std::int64_t& value) {
  int overflow = 0;
  const long long read = PyLong_AsLongLongAndOverflow(item, &overflow);
  if (overflow != 0 || (read == -1 && PyErr_Occurred())) {
    PyErr_Clear();
    return false;
  }
  value = read;
  return true;
}

bool int32_of(PyObject* item, std::int32_t& value) {
  std::int64_t wide = 0;
  if (!int64_of(item, wide) || wide < std::numeric_limits<std::int32_t>::min() ||
      wide > std::numeric_limits<std::int32_t>::max()) {
    return false;
  }
  value = static_cast<std::int32_t>(wide);
  return true;
}

std::string text_of(py::handle item) { return py::str(item).cast<std::string>(); }

std::vector<double> real_list(py::handle list) {
  const Py_ssize_t count = PyList_GET_SIZE(list.ptr());
  std::vector<double> values;
  values.reserve(static_cast<std::size_t>(count));
  // The list may change while an item's text is made: its size is read again.
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(list.ptr()); ++i) {
    PyObject* item = PyList_GET_ITEM(list.ptr(), i);
    std::int64_t wide = 0;
    if (PyFloat_Check(item)) {
      values.push_back(PyFloat_AS_DOUBLE(item));
    } else if (PyLong_Check(item) && int64_of(item, wide)) {
      values.push_back(static_cast<double>(wide));
    } else {
      raise_list_item_error(static_cast<std::size_t>(i), text_of(item));
    }
  }
  return values;
}

// Enumeration members and small ints are shared objects: a long list of a few of them is
// converted once per distinct object.
class ConvertedItems {
 public:
  bool find(PyObject* item, std::int32_t& value) const {
    for (std::size_t i = 0; i < used_; ++i) {
      if (entries_[i].first == item) {
        value = entries_[i].second;
        return true;
      }
    }
    return false;
  }
  void keep(PyObject* item, std::int32_t value) {
    if (used_ < entries_.size()) entries_[used_++] = {item, value};
  }

 private:
  std::array<std::pair<PyObject*, std::int32_t>, 5> entries_{};
  std::size_t used_ = 0;
};

std::int32_t member_value(py::handle member) {
  return py::reinterpret_borrow<py::object>(member).attr("value").cast<std::int32_t>();
}

std::vector<std::int32_t> integer_list(py::handle list, py::handle enumeration) {
  std::vector<std::int32_t> values;
  values.reserve(static_cast<std::size_t>(PyList_GET_SIZE(list.ptr())));
  ConvertedItems converted;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(list.ptr()); ++i) {
    PyObject* item = PyList_GET_ITEM(list.ptr(), i);
    std::int32_t value = 0;
    if (converted.find(item, value)) {
      values.push_back(value);
      continue;
    }
    if (PyLong_Check(item)) {
      if (!int32_of(item, value)) raise_list_item_error(static_cast<std::size_t>(i), text_of(item));
    } else if (py::isinstance(item, enumeration)) {
      value = member_value(item);
    } else {
      raise_list_item_error(static_cast<std::size_t>(i), text_of(item));
    }
    converted.keep(item, value);
    values.push_back(value);
  }
  return values;
}

}  // namespace

std::vector<double> real_vector(py::handle object, InputMessage failure) {
  PyObject* raw = object.ptr();
  if (PyFloat_Check(raw)) return {PyFloat_AS_DOUBLE(raw)};
  if (py::isinstance<py::array>(object)) {
    const auto array = py::reinterpret_borrow<py::array>(object);
    const ElementType type = element_type(array);
    if (type == ElementType::other || array.ndim() != 1) raise_input_error(failure);
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(array.shape(0)));
    for_each_as_double(array, type, [&](double value) { values.push_back(value); });
    return values;
  }
  if (PyLong_Check(raw)) {
    std::int64_t value = 0;
    if (!int64_of(raw, value)) raise_input_error(failure);
    return {static_cast<double>(value)};
  }
  if (PyList_Check(raw)) return real_list(object);
  raise_input_error(failure);
}

std::vector<std::int32_t> integer_vector(py::handle object, py::handle enumeration, InputMessage failure) {
  PyObject* raw = object.ptr();
  if (py::isinstance(object, enumeration)) return {member_value(object)};
  if (PyLong_Check(raw)) {
    std::int32_t value = 0;
    if (!int32_of(raw, value)) raise_input_error(failure);
    return {value};
  }
  if (py::isinstance<py::array>(object)) {
    const auto array = py::reinterpret_borrow<py::array>(object);
    const ElementType type = element_type(array);
    if ((type != ElementType::int32 && type != ElementType::int64) || array.ndim() != 1) raise_input_error(failure);
    std::vector<std::int32_t> values;
    values.reserve(static_cast<std::size_t>(array.shape(0)));
    for_each_as_double(array, type, [&](double value) {
      // Every int32 and int64 that fits 32 bits is exact as a double.
      if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
        raise_input_error(failure);
      }
      values.push_back(static_cast<std::int32_t>(value));
    });
    return values;
  }
  if (PyList_Check(raw)) return integer_list(object, enumeration);
  raise_input_error(failure);
}

}  // namespace veloriumpy
