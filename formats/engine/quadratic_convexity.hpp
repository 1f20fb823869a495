// A quick convexity test of a quadratic form given as terms.
#pragma once

#include <vector>

#include "core/records/expression.hpp"

namespace velorium {

// True for no terms. Otherwise, with d(i) the sum of the coefficients of the terms x_i^2 and
// h(i, j) half the sum of those of x_i*x_j and x_j*x_i: false when some d(i) is below 0
// (with `concave`: above 0), or when for a pair with off-diagonal terms
// d(i)*d(j) - h(i, j)^2 is below 0 (a column without a square term has d = 0).
bool isQuadraticConvex(const std::vector<QuadTerm>& terms, bool concave);

}  // namespace velorium
