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

}  // namespace velorium::cpp_impl
