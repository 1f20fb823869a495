// The models of the reader matrix (bench/reader_matrix.cpp): a sparse linear model of a
// chosen size, generated from a seed, with the name and number styles of a file shape.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace velorium::bench {

// How the names and numbers of a model look, and whether it has ranges and bounds.
struct ModelStyle {
  bool long_names = false;   // 20 characters; else as short as the counts allow
  bool full_digits = false;  // 17 significant digits; else 1 to 3
  bool ranges_and_bounds = false;
};

// Names of one kind (rows or columns), all of one width. Short names use the fewest
// characters that give every member its own name: a first character that no LP or MPS
// keyword and no number can begin with, then letters and digits. Long names are a word and a
// number, 20 characters in all.
class MatrixNames {
 public:
  static constexpr std::string_view kFirst = "acdhjklopqrtuvwxyzAHJKLTUVWXYZ";
  static constexpr std::string_view kOther = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

  static std::size_t widthFor(std::size_t count, bool long_names) {
    if (long_names) return 20;
    std::size_t width = 2;
    for (std::size_t room = kFirst.size() * kOther.size(); room < count; room *= kOther.size()) ++width;
    return width;
  }

  MatrixNames(std::size_t count, bool long_names, std::string_view long_prefix) : width_(widthFor(count, long_names)) {
    text_.resize(count * width_);
    for (std::size_t i = 0; i < count; ++i) {
      char* name = text_.data() + i * width_;
      if (long_names) {
        std::string number = std::to_string(i);
        std::size_t fill = width_ - long_prefix.size() - number.size();
        std::string full = std::string(long_prefix) + std::string(fill, '0') + number;
        full.copy(name, width_);
        continue;
      }
      std::size_t rest = i;
      for (std::size_t k = width_ - 1; k > 0; --k) {
        name[k] = kOther[rest % kOther.size()];
        rest /= kOther.size();
      }
      name[0] = kFirst[rest];
    }
  }
  std::string_view operator[](std::size_t i) const { return {text_.data() + i * width_, width_}; }
  std::size_t width() const { return width_; }

 private:
  std::size_t width_;
  std::string text_;
};

enum class BoundKind : std::uint8_t { none, upper, lower_and_upper, minus_infinity, fixed };

struct MatrixModel {
  static constexpr std::size_t kRowsPerColumn = 9;  // and one objective entry per column

  std::size_t rows = 0;
  std::size_t columns = 0;
  ModelStyle style;
  MatrixNames row_names{0, false, ""};
  MatrixNames column_names{0, false, ""};
  std::string objective_name;
  // Column j: its objective coefficient and kRowsPerColumn entries of distinct rows.
  std::vector<double> objective;
  std::vector<std::int32_t> entry_rows;
  std::vector<double> entry_values;
  // Rows: type "L", "G" or "E", right-hand side, and a range (NaN: none).
  std::vector<char> row_types;
  std::vector<double> rhs;
  std::vector<double> ranges;
  // Columns [first_integer, end_integer) form one block of integer columns; bounds only on
  // the continuous ones.
  std::size_t first_integer = 0;
  std::size_t end_integer = 0;
  std::vector<BoundKind> bound_kinds;
  std::vector<double> lower;
  std::vector<double> upper;

  bool integer(std::size_t j) const { return j >= first_integer && j < end_integer; }
  std::size_t nonzeros() const { return columns * (kRowsPerColumn + 1); }

  // A row's bounds as a reader gives them from its type, right-hand side and range.
  void rowBounds(std::size_t i, double& low, double& high) const {
    const double r = ranges[i];
    const bool ranged = !std::isnan(r);
    switch (row_types[i]) {
      case 'L':
        low = ranged ? rhs[i] - std::fabs(r) : -INFINITY;
        high = rhs[i];
        break;
      case 'G':
        low = rhs[i];
        high = ranged ? rhs[i] + std::fabs(r) : INFINITY;
        break;
      default:
        low = ranged && r < 0 ? rhs[i] + r : rhs[i];
        high = ranged && r > 0 ? rhs[i] + r : rhs[i];
        break;
    }
  }
};

// A model of `columns` columns and columns / 5 rows (about 45 entries a row), every column
// with an objective coefficient and entries in kRowsPerColumn rows drawn at random.
inline std::size_t matrixRowsFor(std::size_t columns) {
  return columns / 5 < MatrixModel::kRowsPerColumn ? MatrixModel::kRowsPerColumn : columns / 5;
}

inline MatrixModel makeMatrixModel(std::size_t columns, const ModelStyle& style, std::uint64_t seed) {
  MatrixModel m;
  m.style = style;
  m.columns = columns;
  m.rows = matrixRowsFor(columns);
  m.row_names = MatrixNames(m.rows, style.long_names, "constraint_");
  m.column_names = MatrixNames(m.columns, style.long_names, "variable_");
  m.objective_name = style.long_names ? "total_cost_objective" : "z";  // no row name is this

  std::mt19937_64 random(seed);
  std::uniform_int_distribution<std::size_t> row_of(0, m.rows - 1);
  std::uniform_int_distribution<int> mantissa(1, 999);
  std::uniform_int_distribution<int> scale(0, 2);
  std::uniform_real_distribution<double> full(-1000.0, 1000.0);
  auto value = [&] {
    if (style.full_digits) return full(random);
    static constexpr double kScales[] = {1.0, 10.0, 100.0};
    double v = mantissa(random) / kScales[scale(random)];
    return random() % 4 == 0 ? -v : v;
  };
  auto magnitude = [&] { return std::fabs(value()); };

  m.objective.resize(columns);
  m.entry_rows.resize(columns * MatrixModel::kRowsPerColumn);
  m.entry_values.resize(m.entry_rows.size());
  for (std::size_t j = 0; j < columns; ++j) {
    m.objective[j] = value();
    std::int32_t* rows = &m.entry_rows[j * MatrixModel::kRowsPerColumn];
    for (std::size_t k = 0; k < MatrixModel::kRowsPerColumn; ++k) {
      bool fresh = false;
      while (!fresh) {
        rows[k] = static_cast<std::int32_t>(row_of(random));
        fresh = true;
        for (std::size_t e = 0; e < k; ++e) fresh = fresh && rows[e] != rows[k];
      }
      m.entry_values[j * MatrixModel::kRowsPerColumn + k] = value();
    }
    std::sort(rows, rows + MatrixModel::kRowsPerColumn);  // a column's entries in row order, as writers give them
  }
  m.row_types.resize(m.rows);
  m.rhs.resize(m.rows);
  m.ranges.assign(m.rows, NAN);
  for (std::size_t i = 0; i < m.rows; ++i) {
    m.row_types[i] = "LGE"[i % 3];
    m.rhs[i] = value();
    if (style.ranges_and_bounds && i % 4 == 0) m.ranges[i] = value();
  }
  m.first_integer = columns / 2;
  m.end_integer = m.first_integer + columns / 10;
  m.bound_kinds.assign(columns, BoundKind::none);
  m.lower.assign(columns, 0.0);
  m.upper.assign(columns, INFINITY);
  for (std::size_t j = 0; j < columns; ++j) {
    if (m.integer(j)) {
      m.upper[j] = 1.0;  // what a marker block gives
      continue;
    }
    if (!style.ranges_and_bounds) continue;
    switch (j % 8) {
      case 0:
      case 4:
        m.bound_kinds[j] = BoundKind::upper;
        m.upper[j] = magnitude();
        break;
      case 1:
      case 5:
        m.bound_kinds[j] = BoundKind::lower_and_upper;
        m.lower[j] = -magnitude();
        m.upper[j] = magnitude();
        break;
      case 2:
        m.bound_kinds[j] = BoundKind::minus_infinity;
        m.lower[j] = -INFINITY;
        break;
      case 6:
        m.bound_kinds[j] = BoundKind::fixed;
        m.lower[j] = m.upper[j] = value();
        break;
      default:
        break;
    }
  }
  return m;
}

}  // namespace velorium::bench
