// The model of the files benchmark, shared with the benchmarks that upload its MPS file:
// 10^6 columns (a tenth integer, a fifth with bounds), 5 * 10^5 rows of 20 nonzeros each
// (10^7 nonzeros), half of the coefficients small integers and half decimal fractions, names
// "x<i>" and "c<i>". Built once per process.
#pragma once

#include <cmath>
#include <cstddef>
#include <random>
#include <string>

#include "core/names/names_holder.hpp"
#include "core/records/model.hpp"

namespace velorium::bench {

inline constexpr std::size_t kColumns = 1'000'000;
inline constexpr std::size_t kRows = 500'000;
inline constexpr std::size_t kRowLength = 20;
inline constexpr std::size_t kNonzeros = kRows * kRowLength;

inline const Model& largeModel() {
  static const Model model = [] {
    Model m;
    VeloriumNamesHolder& pool = *get_names_holder();
    std::mt19937_64 random(42);
    m.variables.reserve(kColumns);
    for (std::size_t j = 0; j < kColumns; ++j) {
      Variable v;
      v.type = j % 10 == 0 ? 2 : 0;
      v.lower = 0.0;
      v.upper = j % 5 == 0 ? static_cast<double>(10 + j % 90) : INFINITY;
      v.name_id = static_cast<std::int32_t>(pool.find_or_add_name("x" + std::to_string(j)));
      m.variables.push_back(v);
    }
    m.rows.reserve(kRows);
    for (std::size_t i = 0; i < kRows; ++i) {
      Constraint row(-INFINITY, static_cast<double>(100 + i % 1000));
      row.expression.name_id = static_cast<std::int32_t>(pool.find_or_add_name("c" + std::to_string(i)));
      row.expression.linear_terms.reserve(kRowLength);
      for (std::size_t k = 0; k < kRowLength; ++k) {
        auto column = static_cast<std::int32_t>(random() % kColumns);
        double coefficient = k % 2 == 0 ? static_cast<double>(1 + random() % 9) : static_cast<double>(random() % 100000) / 1000.0;
        row.expression.linear_terms.push_back({column, coefficient});
      }
      m.rows.push_back(std::move(row));
    }
    for (std::size_t j = 0; j < kColumns; j += 3) m.objective.linear_terms.push_back({static_cast<std::int32_t>(j), 1.5});
    return m;
  }();
  return model;
}

}  // namespace velorium::bench
