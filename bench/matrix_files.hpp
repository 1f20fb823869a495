// The files of the reader matrix (bench/reader_matrix.cpp): a matrix model written as free
// MPS with one or two entries a line, or as LP with short or long lines, in the layout of
// files that writers give (ours among them), independent of our own writers so that the
// files stay the same while those change.
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "matrix_model.hpp"
#include "text_file_out.hpp"

namespace velorium::bench {

// What a reader must find in a file: LP files hold a ranged row as two rows of one name.
struct ExpectedCounts {
  std::size_t rows = 0;
  std::size_t columns = 0;
  std::size_t nonzeros = 0;  // the objective's included
};

class MatrixFileWriter {
 public:
  MatrixFileWriter(const MatrixModel& model, TextFileOut& out) : m_(model), out_(out) {}

  void number(double value) {
    if (m_.style.full_digits) {
      out_.general(value, 17);
    } else {
      out_ << value;
    }
  }

  // "%-8s": a name left-aligned in at least 8 characters.
  void padded(std::string_view name) {
    out_ << name;
    for (std::size_t n = name.size(); n < 8; ++n) out_ << ' ';
  }

  ExpectedCounts writeMps(int entries_per_line) {
    out_ << "NAME          MATRIX";
    out_.endLine() << "ROWS";
    out_.endLine() << " N  " << m_.objective_name;
    out_.endLine();
    for (std::size_t i = 0; i < m_.rows; ++i) (out_ << ' ' << m_.row_types[i] << "  " << m_.row_names[i]).endLine();
    out_ << "COLUMNS";
    out_.endLine();
    for (std::size_t j = 0; j < m_.columns; ++j) {
      if (j == m_.first_integer || j == m_.end_integer) {
        out_ << "    MARKER    'MARKER'                 " << (j == m_.first_integer ? "'INTORG'" : "'INTEND'");
        out_.endLine();
      }
      for (std::size_t k = 0; k <= MatrixModel::kRowsPerColumn; ++k) {
        if (k % static_cast<std::size_t>(entries_per_line) == 0) {
          if (k != 0) out_.endLine();
          out_ << "    ";
          padded(m_.column_names[j]);
        }
        out_ << "  ";
        if (k == 0) {
          padded(m_.objective_name);
          out_ << "  ";
          number(m_.objective[j]);
        } else {
          const std::size_t e = j * MatrixModel::kRowsPerColumn + k - 1;
          padded(m_.row_names[static_cast<std::size_t>(m_.entry_rows[e])]);
          out_ << "  ";
          number(m_.entry_values[e]);
        }
      }
      out_.endLine();
    }
    writeRowValues("RHS", "RHS", m_.rhs, entries_per_line);
    if (m_.style.ranges_and_bounds) writeRowValues("RANGES", "RNG", m_.ranges, entries_per_line);
    if (m_.style.ranges_and_bounds) writeMpsBounds();
    out_ << "ENDATA";
    out_.endLine();
    return {m_.rows, m_.columns, m_.nonzeros()};
  }

  // Our LP writer's layout: a row's terms on its line until the line would reach
  // `line_limit` characters; a ranged row as two rows of one name, the upper side first.
  ExpectedCounts writeLp(std::size_t line_limit) {
    line_limit_ = line_limit;
    ExpectedCounts counts{m_.rows, m_.columns, m_.nonzeros()};
    out_ << "\\ Reader matrix model";
    out_.endLine() << "Minimize";
    out_.endLine() << ' ' << m_.objective_name << ':';
    for (std::size_t j = 0; j < m_.columns; ++j) term(m_.objective[j], m_.column_names[j], j == 0);
    out_.endLine().endLine() << "Subject To";
    out_.endLine();
    // The entries row by row, in column order.
    std::vector<std::size_t> first(m_.rows + 1, 0);
    for (std::int32_t row : m_.entry_rows) ++first[static_cast<std::size_t>(row) + 1];
    for (std::size_t i = 0; i < m_.rows; ++i) first[i + 1] += first[i];
    std::vector<std::size_t> next(first.begin(), first.end() - 1);
    std::vector<std::size_t> by_row(m_.entry_rows.size());
    for (std::size_t e = 0; e < m_.entry_rows.size(); ++e) by_row[next[static_cast<std::size_t>(m_.entry_rows[e])]++] = e;
    for (std::size_t i = 0; i < m_.rows; ++i) {
      double low = 0;
      double high = 0;
      m_.rowBounds(i, low, high);
      const bool two_sided = low != high && std::isfinite(low) && std::isfinite(high);
      const char* relation = low == high ? "=" : std::isinf(high) ? ">=" : "<=";
      writeLpRow(i, by_row, first, relation, std::isinf(high) ? low : high);
      if (two_sided) {
        writeLpRow(i, by_row, first, ">=", low);
        counts.rows += 1;
        counts.nonzeros += first[i + 1] - first[i];
      }
    }
    out_.endLine() << "Bounds";
    out_.endLine();
    for (std::size_t j = 0; j < m_.columns; ++j) {
      if (m_.integer(j) || m_.bound_kinds[j] == BoundKind::none) continue;
      if (std::isinf(m_.lower[j]) && std::isinf(m_.upper[j])) {
        (out_ << m_.column_names[j] << " Free").endLine();
        continue;
      }
      if (m_.lower[j] != 0.0) {
        out_ << ' ';
        number(m_.lower[j]);
        out_ << " <= ";
      }
      out_ << m_.column_names[j];
      if (!std::isinf(m_.upper[j])) {
        out_ << " <= ";
        number(m_.upper[j]);
      }
      out_.endLine();
    }
    out_.endLine() << "Binaries";
    out_.endLine();
    for (std::size_t j = m_.first_integer; j < m_.end_integer; ++j) (out_ << m_.column_names[j]).endLine();
    out_ << "End";
    out_.endLine();
    return counts;
  }

 private:
  void writeRowValues(const char* keyword, const char* vector, const std::vector<double>& values, int per_line) {
    out_ << keyword;
    out_.endLine();
    int on_line = 0;
    for (std::size_t i = 0; i < m_.rows; ++i) {
      if (std::isnan(values[i])) continue;
      if (on_line == 0) {
        out_ << "    ";
        padded(vector);
      }
      out_ << "  ";
      padded(m_.row_names[i]);
      out_ << "  ";
      number(values[i]);
      if (++on_line == per_line) {
        out_.endLine();
        on_line = 0;
      }
    }
    if (on_line != 0) out_.endLine();
  }

  void writeMpsBounds() {
    out_ << "BOUNDS";
    out_.endLine();
    auto line = [&](const char* type, std::size_t j, const double* value) {
      out_ << ' ' << type << " BND       ";
      padded(m_.column_names[j]);
      if (value) {
        out_ << "  ";
        number(*value);
      }
      out_.endLine();
    };
    for (std::size_t j = 0; j < m_.columns; ++j) {
      switch (m_.bound_kinds[j]) {
        case BoundKind::upper:
          line("UP", j, &m_.upper[j]);
          break;
        case BoundKind::lower_and_upper:
          line("LO", j, &m_.lower[j]);
          line("UP", j, &m_.upper[j]);
          break;
        case BoundKind::minus_infinity:
          line("MI", j, nullptr);
          break;
        case BoundKind::fixed:
          line("FX", j, &m_.lower[j]);
          break;
        case BoundKind::none:
          break;
      }
    }
  }

  // One term as our LP writer writes it: " + 2.5 x", " - x", the sign left out in front of
  // a first positive term; a line break first when the line would reach its limit.
  void term(double coefficient, std::string_view name, bool first) {
    char text[64];
    std::size_t length = 0;
    auto put = [&](std::string_view piece) {
      piece.copy(text + length, piece.size());
      length += piece.size();
    };
    if (coefficient < 0) {
      put(" -");
    } else if (!first) {
      put(" +");
    }
    const double magnitude = std::fabs(coefficient);
    if (magnitude != 1.0) {
      text[length++] = ' ';
      const auto end = m_.style.full_digits
                           ? std::to_chars(text + length, text + sizeof text, magnitude, std::chars_format::general, 17)
                           : std::to_chars(text + length, text + sizeof text, magnitude);
      length = static_cast<std::size_t>(end.ptr - text);
    }
    text[length++] = ' ';
    if (out_.lineLength() + length + name.size() >= line_limit_) out_.endLine();
    out_ << std::string_view(text, length) << name;
  }

  void writeLpRow(std::size_t i, const std::vector<std::size_t>& by_row, const std::vector<std::size_t>& first,
                  const char* relation, double bound) {
    out_ << m_.row_names[i] << " :";
    for (std::size_t k = first[i]; k < first[i + 1]; ++k) {
      const std::size_t e = by_row[k];
      term(m_.entry_values[e], m_.column_names[e / MatrixModel::kRowsPerColumn], k == first[i]);
    }
    out_ << ' ' << relation << ' ';
    number(bound);
    out_.endLine();
  }

  const MatrixModel& m_;
  TextFileOut& out_;
  std::size_t line_limit_ = 560;
};

}  // namespace velorium::bench
