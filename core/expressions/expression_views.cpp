#include "core/expressions/expression_views.hpp"

#include <typeinfo>
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

namespace {

// The object behind an interface pointer when it is of the class `Object`, else null. A test
// of the exact type, since no class derives from the expression classes: dynamic_cast walked
// the class tree on every row added.
template <class Object, class Interface>
const Object* exact_object(const Interface* expression) noexcept {
  if (!expression || typeid(*expression) != typeid(Object)) return nullptr;
  return static_cast<const Object*>(expression);
}

}  // namespace

expr_data* store_of(const ILinearExpression* expression) noexcept {
  const auto* object = exact_object<LinearExpressionImpl>(expression);
  return object ? object->store().get() : nullptr;
}

expr_data* store_of(const IQuadExpression* expression) noexcept {
  const auto* object = exact_object<QuadExpressionImpl>(expression);
  return object ? object->store().get() : nullptr;
}

}  // namespace velorium::cpp_impl
