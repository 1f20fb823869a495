// The variable record: one column of a model.
#pragma once

#include <cstdint>
#include <limits>

namespace velorium {

// Whoever appends a record sets all four fields; the defaults only keep a forgotten field
// from holding garbage.
struct Variable {
  std::uint32_t type = 0;  // a variable_type value: continuous 0 .. semiinteger 4
  double lower = 0.0;
  double upper = std::numeric_limits<double>::infinity();
  std::int32_t name_id = -1;  // pool id of the name; negative: none
};

}  // namespace velorium
