// The tree of a linear or quadratic expression's terms.
#pragma once

#include <memory>

#include "core/general/general_expression_impl_base.hpp"
#include "core/records/expression.hpp"

namespace velorium::cpp_impl {

// Converts the whole record, in stored order: each quadratic term (i, j, c) becomes
// multiply(c, x_i, x_j), each linear term (i, c) multiply(c, x_i), the constant c is left out
// when it is exactly 1.0; several terms of a kind are summed under one plus node; the constant
// joins when its absolute value exceeds 1e-14. The parts are joined under the quadratic plus
// node, else the linear plus node, else a new plus node; a single part is the result, and no
// part gives the constant node of the stored constant. Nothing else is simplified. Variable
// leaves, and every node above them, refer to `model` (may be empty).
OwnedGeneralExpr expression_to_tree(const Expression& terms, const std::weak_ptr<ModelBuilder>& model);

// For use in a catch block: a constant node 0 that carries the failure being handled (a
// velorium_exception with its code, anything else with -1); null when not even that can be
// made.
IGeneralExpression* failed_conversion_node() noexcept;

// The node that the factories from linear and quadratic expressions return: the tree of the
// terms that `fetch_terms` returns. When the terms cannot be fetched (a view of a row that
// has been removed fails with 110 or 111) the node carries that failure instead, so that the
// caller learns why there is no tree.
template <class FetchTerms>
IGeneralExpression* converted_expression_node(FetchTerms&& fetch_terms, const std::weak_ptr<ModelBuilder>& model) noexcept {
  try {
    return expression_to_tree(fetch_terms(), model).release();
  } catch (...) {
    return failed_conversion_node();
  }
}

}  // namespace velorium::cpp_impl
