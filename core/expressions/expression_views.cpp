#include "core/expressions/expression_views.hpp"

#include <utility>

#include "core/expressions/linear_expression_impl.hpp"
#include "core/expressions/quad_expression_impl.hpp"
#include "core/expressions/term_rules.hpp"

namespace velorium::cpp_impl {

ILinearExpression* make_linear_view(std::shared_ptr<expr_data> store) {
  drop_removed_linear_term(*store);
  return new LinearExpressionImpl(std::move(store));
}

IQuadExpression* make_quadratic_view(std::shared_ptr<expr_data> store) {
  drop_removed_quadratic_term(*store);
  return new QuadExpressionImpl(std::move(store));
}

expr_data* store_of(const ILinearExpression* expression) noexcept {
  const auto* object = dynamic_cast<const LinearExpressionImpl*>(expression);
  return object ? object->store().get() : nullptr;
}

expr_data* store_of(const IQuadExpression* expression) noexcept {
  const auto* object = dynamic_cast<const QuadExpressionImpl*>(expression);
  return object ? object->store().get() : nullptr;
}

}  // namespace velorium::cpp_impl
