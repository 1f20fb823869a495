// Rewrites the rows of a flat model so that every row is one-sided or an equality, and no
// indicator row is an equality.
#pragma once

#include "core/records/model.hpp"

namespace velorium {

// Makes `target` a copy of `source` whose rows are rewritten and returns it. With k a row's
// position counted from 1:
// - a row without linear and quadratic terms is left out;
// - an indicator row whose bounds are equal within 1e-12, and a row with two finite bounds
//   that differ, become two copies: "<name>_PART1" with no lower bound and "<name>_PART2"
//   with no upper bound (an unnamed equality indicator row is named "INDICATOR_CONSTR_<k>",
//   an unnamed ranged row keeps no name);
// - every other row is copied as it is.
// The new names are found or added in the pool of names.
Model& splitIndicatorConstraints(const Model& source, Model& target);

}  // namespace velorium
