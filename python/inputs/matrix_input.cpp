#include "python/inputs/matrix_input.hpp"

#include <cmath>
#include <limits>
#include <string>
#include <type_traits>

#include "python/inputs/input_errors.hpp"
#include "python/inputs/numpy_arrays.hpp"

namespace veloriumpy {

namespace {

// Row and column counts, entry counts and positions of the library are 32-bit.
constexpr std::int64_t kLargestSize = std::numeric_limits<std::int32_t>::max();

[[noreturn]] void invalid_matrix() { raise_input_error(kInvalidMatrix); }

bool is_contiguous(const py::array& array) { return (array.flags() & py::array::c_style) != 0; }

MatrixInput dense_input(const py::array& array, ElementType type) {
  if (array.ndim() != 2) raise_input_error(kNotTwoDimensional);
  MatrixInput matrix;
  matrix.rows = array.shape(0);
  matrix.cols = array.shape(1);
  matrix.values.reserve(static_cast<std::size_t>(matrix.rows * matrix.cols));
  const py::ssize_t row_stride = array.strides(0);
  const py::ssize_t column_stride = array.strides(1);
  auto copy = [&](auto sample) {
    using T = decltype(sample);
    for (std::int64_t i = 0; i < matrix.rows; ++i) {
      for (std::int64_t j = 0; j < matrix.cols; ++j) {
        matrix.values.push_back(static_cast<double>(element_at<T>(array, i * row_stride + j * column_stride)));
      }
    }
  };
  switch (type) {
    case ElementType::float64: copy(double{}); break;
    case ElementType::float32: copy(float{}); break;
    case ElementType::int32: copy(std::int32_t{}); break;
    case ElementType::int64: copy(std::int64_t{}); break;
    case ElementType::other: invalid_matrix();
  }
  return matrix;
}

bool has_csr_attributes(py::handle object) {
  for (const char* name : {"format", "_shape", "data", "indices", "indptr"}) {
    if (!PyObject_HasAttrString(object.ptr(), name)) return false;
  }
  return py::cast<std::string>(object.attr("format")) == "csr";
}

std::int64_t size_of(py::handle entry) {
  if (!PyIndex_Check(entry.ptr())) invalid_matrix();
  const py::int_ whole = py::reinterpret_steal<py::int_>(PyNumber_Index(entry.ptr()));
  if (!whole) throw py::error_already_set();
  int overflow = 0;
  const long long value = PyLong_AsLongLongAndOverflow(whole.ptr(), &overflow);
  if (overflow != 0 || value < 0 || value > kLargestSize) invalid_matrix();
  return value;
}

py::array one_dimensional(py::handle object, py::handle dtype) {
  py::array array = as_numpy_array(object, dtype);
  if (array.ndim() != 1) invalid_matrix();
  return array;
}

// Calls `visit(std::int64_t)` for every element of a one-dimensional array of integers (any
// width, signed or not) or of whole floats, in index order; anything else is refused.
template <class Visit>
void for_each_index(const py::array& array, Visit&& visit) {
  const py::ssize_t count = array.shape(0);
  const py::ssize_t stride = array.strides(0);
  auto run = [&](auto sample) {
    using T = decltype(sample);
    for (py::ssize_t i = 0; i < count; ++i) {
      const T value = element_at<T>(array, i * stride);
      if constexpr (std::is_floating_point_v<T>) {
        // A fraction, NaN or a value beyond every size is no index.
        if (!(std::floor(value) == value) || std::fabs(value) > 1e18) invalid_matrix();
        visit(static_cast<std::int64_t>(value));
      } else if constexpr (std::is_unsigned_v<T> && sizeof(T) == 8) {
        visit(value > static_cast<std::uint64_t>(kLargestSize) ? std::int64_t{-1} : static_cast<std::int64_t>(value));
      } else {
        visit(static_cast<std::int64_t>(value));
      }
    }
  };
  auto is = [&](auto sample) { return has_element_type(array, py::dtype::of<decltype(sample)>()); };
  if (is(std::int32_t{})) return run(std::int32_t{});
  if (is(std::int64_t{})) return run(std::int64_t{});
  if (is(std::int16_t{})) return run(std::int16_t{});
  if (is(std::int8_t{})) return run(std::int8_t{});
  if (is(std::uint8_t{})) return run(std::uint8_t{});
  if (is(std::uint16_t{})) return run(std::uint16_t{});
  if (is(std::uint32_t{})) return run(std::uint32_t{});
  if (is(std::uint64_t{})) return run(std::uint64_t{});
  if (is(double{})) return run(double{});
  if (is(float{})) return run(float{});
  invalid_matrix();
}

// The array as 32-bit integers from `low` to `high`, borrowed when it is a contiguous int32
// array already.
void read_indices(const py::array& array, std::int64_t low, std::int64_t high, IndexArray& out) {
  auto in_range = [&](std::int64_t value) {
    if (value < low || value > high) invalid_matrix();
  };
  if (has_element_type(array, py::dtype::of<std::int32_t>()) && is_contiguous(array)) {
    // The common case (scipy's own arrays): one pass without a branch per element.
    const auto* values = static_cast<const std::int32_t*>(array.data());
    bool outside = false;
    for (py::ssize_t i = 0; i < array.shape(0); ++i) outside |= values[i] < low || values[i] > high;
    if (outside) invalid_matrix();
    out.borrow(array);
    return;
  }
  std::vector<std::int32_t>& values = out.own(array.shape(0));
  std::size_t next = 0;
  for_each_index(array, [&](std::int64_t value) {
    in_range(value);
    values[next++] = static_cast<std::int32_t>(value);
  });
}

MatrixInput sparse_input(py::handle object) {
  MatrixInput matrix;
  matrix.is_sparse = true;
  const py::tuple shape = py::reinterpret_steal<py::tuple>(PySequence_Tuple(object.attr("_shape").ptr()));
  if (!shape) throw py::error_already_set();
  if (shape.size() != 2) invalid_matrix();
  matrix.rows = size_of(shape[0]);
  matrix.cols = size_of(shape[1]);

  py::array data = one_dimensional(object.attr("data"), py::dtype::of<double>());
  if (!is_contiguous(data)) data = as_contiguous_array(data);
  const std::int64_t entries = data.shape(0);
  if (entries > kLargestSize) invalid_matrix();
  matrix.data = py::reinterpret_borrow<py::array_t<double>>(data);

  const py::array indices = one_dimensional(object.attr("indices"), py::none());
  if (indices.shape(0) != entries) invalid_matrix();
  const py::array indptr = one_dimensional(object.attr("indptr"), py::none());
  if (indptr.shape(0) != matrix.rows + 1) invalid_matrix();

  read_indices(indptr, 0, entries, matrix.indptr);
  if (matrix.indptr[0] != 0 || matrix.indptr[matrix.rows] != entries) invalid_matrix();
  for (std::int64_t i = 0; i < matrix.rows; ++i) {
    if (matrix.indptr[i + 1] < matrix.indptr[i]) invalid_matrix();
  }
  read_indices(indices, 0, matrix.cols - 1, matrix.indices);
  return matrix;
}

}  // namespace

void IndexArray::borrow(py::array array) {
  data_ = static_cast<const std::int32_t*>(array.data());
  size_ = array.shape(0);
  kept_ = std::move(array);
  owned_.clear();
}

std::vector<std::int32_t>& IndexArray::own(std::int64_t size) {
  kept_ = py::object();
  owned_.assign(static_cast<std::size_t>(size), 0);
  data_ = owned_.data();
  size_ = size;
  return owned_;
}

MatrixInput matrix_input(py::handle object) {
  if (py::isinstance<py::array>(object)) {
    const auto array = py::reinterpret_borrow<py::array>(object);
    const ElementType type = element_type(array);
    if (type != ElementType::other) return dense_input(array, type);
  }
  if (object.is_none() || !has_csr_attributes(object)) invalid_matrix();
  return sparse_input(object);
}

}  // namespace veloriumpy
