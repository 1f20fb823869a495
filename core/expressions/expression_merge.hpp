// Adding a multiple of one expression store to another (AddExpression of both faces).
#pragma once

#include "core/expressions/expr_data.hpp"

namespace velorium::cpp_impl {

// target += factor * source, the whole store: linear terms, constant and quadratic terms.
// A factor of exactly 0 changes nothing. Everything is checked before anything changes: a
// view of a removed row (110, 111) on either side, or a source with terms of another model than
// the target's (405). A target without a model takes the source's.
//
// The linear face merges linear terms first (terms of variables removed in the target's model
// are skipped; an existing term is summed and dropped when negligible, a new one appended as it
// is), then the quadratic terms; the quadratic face the other way round. The quadratic step
// sums into an existing term of the pair (the last one in the same order, else the last one in
// the other order), appends the others (two source terms of one new pair give two terms),
// then drops every negligible quadratic term of the target and the first quadratic term of a
// removed variable.
//
// Source and target may show the same terms (an expression added to itself, or two views of
// one row): the source is then read from a snapshot, so target += f * target exactly.
void merge_linear_first(expr_data& target, expr_data& source, double factor);
void merge_quadratic_first(expr_data& target, expr_data& source, double factor);

}  // namespace velorium::cpp_impl
