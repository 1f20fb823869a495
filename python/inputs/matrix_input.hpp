// The matrix rule of the matrix inputs (P of the objective and of a constraint, A of the bulk
// rows): a two-dimensional numpy array of float64, float32, int32 or int64 (dense), or a
// compressed-sparse-row object, recognised by its attributes "format" ("csr"), "_shape",
// "data", "indices" and "indptr" (scipy is not needed). Anything else is refused with 154; a
// numpy array of those types with another number of dimensions with 145.
//
// A CSR object is checked whole before anything reaches the library, so a malformed one can
// neither crash the library nor leave half of its rows in a model: "_shape" two sizes from 0
// to 2^31 - 1; one-dimensional "data", "indices" and "indptr"; "data" and "indices" of one
// length; "indptr" of rows + 1 entries, the first 0, none decreasing, none above that length;
// every column index of an entry in use whole and within the columns (read at its own width,
// never cut to 32 bits first). A failure raises 154. The arrays handed to the library are
// contiguous float64 and int32 arrays: the object's own arrays when they are so already,
// otherwise copies.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <vector>

namespace veloriumpy {

namespace py = pybind11;

// 32-bit integers that are either borrowed from a contiguous numpy int32 array or owned.
class IndexArray {
 public:
  IndexArray() = default;
  // A moved vector keeps its buffer, so the pointer stays valid; a copy would not.
  IndexArray(IndexArray&&) = default;
  IndexArray& operator=(IndexArray&&) = default;
  IndexArray(const IndexArray&) = delete;
  IndexArray& operator=(const IndexArray&) = delete;

  const std::int32_t* data() const noexcept { return data_; }
  std::int64_t size() const noexcept { return size_; }
  std::int32_t operator[](std::int64_t i) const noexcept { return data_[i]; }

  void borrow(py::array array);
  std::vector<std::int32_t>& own(std::int64_t size);

 private:
  py::object kept_;
  std::vector<std::int32_t> owned_;
  const std::int32_t* data_ = nullptr;
  std::int64_t size_ = 0;
};

struct MatrixInput {
  std::int64_t rows = 0;
  std::int64_t cols = 0;
  bool is_sparse = false;
  // Dense: the elements in row-major order, (i, j) at i * cols + j.
  std::vector<double> values;
  // Sparse: the checked arrays; entries of row i from indptr[i] to indptr[i + 1].
  py::array_t<double> data;
  IndexArray indices;
  IndexArray indptr;

  const double* entry_values() const { return data.size() == 0 ? nullptr : data.data(); }
  std::int64_t entries_in_use() const { return indptr[rows]; }
};

MatrixInput matrix_input(py::handle object);

}  // namespace veloriumpy
