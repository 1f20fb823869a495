// The factories that turn a linear or quadratic expression into a general expression tree.
#include "core/expressions/expression_views.hpp"
#include "core/general/expression_conversion.hpp"

using namespace velorium::cpp_impl;

namespace {

// Whichever face is passed, the whole record of its store is converted, quadratic terms
// included. A view of a removed row gives a node that carries 110 or 111.
velorium::IGeneralExpression* tree_of_store(expr_data* store) noexcept {
  if (!store) return nullptr;
  return converted_expression_node([store]() -> const velorium::Expression& { return store->get_terms(); },
                                   store->model());
}

}  // namespace

velorium::IGeneralExpression* CreateGeneralExpression(const velorium::ILinearExpression* expr) {
  return tree_of_store(store_of(expr));
}

velorium::IGeneralExpression* CreateGeneralExpression(const velorium::IQuadExpression* expr) {
  return tree_of_store(store_of(expr));
}
