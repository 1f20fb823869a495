// The constraint record: one row of a model, and the data of a free constraint object.
#pragma once

#include <cstdint>
#include <limits>
#include <utility>

#include "core/records/expression.hpp"

namespace velorium {

// lower <= expression <= upper; a row's name is the name_id of its expression. An indicator
// row applies only while its indicator variable takes indicator_value.
struct Constraint {
  double lower = -std::numeric_limits<double>::infinity();
  double upper = std::numeric_limits<double>::infinity();
  Expression expression;
  std::int32_t indicator_variable = -1;  // store index; -1 for an ordinary row
  bool indicator_value = true;

  // A row without bounds: -infinity to +infinity, no terms, no name.
  Constraint() = default;
  Constraint(double lower_bound, double upper_bound) : lower(lower_bound), upper(upper_bound) {}
  // Takes the whole expression: terms, constant and name id.
  Constraint(double lower_bound, double upper_bound, Expression terms)
      : lower(lower_bound), upper(upper_bound), expression(std::move(terms)) {}
};

}  // namespace velorium
