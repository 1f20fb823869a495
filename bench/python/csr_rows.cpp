// The C++ side of bench/python/matrix_model_bench.py: adds the rows of a CSR matrix, read from
// the files that the Python side wrote, to a new model with
// IMatrixModel::AddConstraintLinearSparse, one call and one error check per row, and prints the
// seconds of that loop, once per repetition (a new model each time, as the Python side does).
//
//     bench_python_csr_rows DIR COLUMNS REPEAT
//
// DIR holds data.f64, indices.i32, indptr.i32 and rhs.f64 (native byte order); every row is
// "less or equal".
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "velorium/velorium.hpp"

namespace {

template <class T>
std::vector<T> read_array(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  std::vector<T> values(bytes.size() / sizeof(T));
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(values.size() * sizeof(T)),
            reinterpret_cast<char*>(values.data()));
  return values;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s DIR COLUMNS REPEAT\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  const std::uint64_t columns = std::stoull(argv[2]);
  const int repeat = std::stoi(argv[3]);
  const auto data = read_array<double>(folder + "/data.f64");
  const auto indices = read_array<std::int32_t>(folder + "/indices.i32");
  const auto indptr = read_array<std::int32_t>(folder + "/indptr.i32");
  const auto rhs = read_array<double>(folder + "/rhs.f64");
  if (indptr.empty() || rhs.size() + 1 != indptr.size() || data.size() != indices.size()) {
    std::fprintf(stderr, "inconsistent arrays in %s\n", folder.c_str());
    return 2;
  }

  for (int round = 0; round < repeat; ++round) {
    velorium::IModel* model = CreateModel();
    auto* matrix = dynamic_cast<velorium::IMatrixModel*>(model);
    model->SetBoolParam("log_to_console", false);
    const double lower = 0.0, upper = velorium::kVeloriumInf;
    const std::int32_t type = 0;
    matrix->AddVariables(columns, &lower, 1, &upper, 1, nullptr, 0, &type, 1);

    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i + 1 < indptr.size(); ++i) {
      const std::int32_t first = indptr[i];
      const std::int32_t count = indptr[i + 1] - first;
      matrix->AddConstraintLinearSparse(data.data() + first, indices.data() + first,
                                        static_cast<std::uint64_t>(count), velorium::constraint_sense::less_equal,
                                        rhs[i]);
      if (matrix->GetErrorCode() != 0) {
        std::fprintf(stderr, "row %zu: %s\n", i, matrix->GetErrorText());
        return 1;
      }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.6f %d\n", seconds, model->GetConstraintsCount());
    model->Release();
  }
  return 0;
}
