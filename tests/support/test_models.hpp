// Small flat models for file tests: names are interned in the process-wide pool.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/records/model.hpp"

namespace velorium::test {

inline constexpr double kInf = INFINITY;

// Variable types as the model records hold them.
inline constexpr std::uint32_t kContinuous = 0;
inline constexpr std::uint32_t kBinary = 1;
inline constexpr std::uint32_t kInteger = 2;
inline constexpr std::uint32_t kSemiContinuous = 3;
inline constexpr std::uint32_t kSemiInteger = 4;

using Terms = std::initializer_list<std::pair<int, double>>;
using QuadTerms = std::initializer_list<std::tuple<int, int, double>>;

// The pool id of `name`; -1 for none.
std::int32_t nameId(std::optional<std::string_view> name);
// The text of a pool id; empty for none.
std::string nameText(std::int32_t id);
// The text of a pool id; "<none>" for none, so that a missing name shows in a comparison.
std::string nameOrNone(std::int32_t id);

class TestModel {
 public:
  Model model;

  // Returns the variable's index.
  int addVariable(std::optional<std::string_view> name, double lower = 0.0, double upper = kInf,
                  std::uint32_t type = kContinuous);
  // Returns the row's index.
  int addRow(std::optional<std::string_view> name, double lower, double upper, Terms terms, double constant = 0.0);
  void addRowQuadratic(int row, QuadTerms terms);
  void setObjective(Terms terms, double constant = 0.0, int sense = 0);
  void addObjectiveQuadratic(QuadTerms terms);
  void nameObjective(std::optional<std::string_view> name);
  void setIndicator(int row, int variable, bool value);
};

}  // namespace velorium::test
