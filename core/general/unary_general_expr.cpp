#include "core/general/unary_general_expr.hpp"

#include <utility>

#include "core/general/origin_general_expr.hpp"

namespace velorium::cpp_impl {

UnaryGeneralExpr::UnaryGeneralExpr(gen_expr_type type) noexcept : GeneralExpressionImplBase(type, {}) {}

UnaryGeneralExpr::UnaryGeneralExpr(gen_expr_type type, std::weak_ptr<ModelBuilder> model) noexcept
    : GeneralExpressionImplBase(type, std::move(model)) {}

UnaryGeneralExpr::UnaryGeneralExpr(gen_expr_type type, const IGeneralExpression* operand)
    : GeneralExpressionImplBase(type, {}) {
  if (check_class_arity(1)) child_ = prepare_child(operand);
}

UnaryGeneralExpr::~UnaryGeneralExpr() { release_children(); }

IGeneralExpression* UnaryGeneralExpr::GetExpr(int index) {
  return guarded<IGeneralExpression*>(nullptr, [&]() -> IGeneralExpression* {
    if (index != 0 || !child_) {
      fail(459);
      return nullptr;
    }
    return new OriginGeneralExpr(child_);
  });
}

void UnaryGeneralExpr::SetExpr(int index, const IGeneralExpression* expr) {
  guarded([&] {
    if (index != 0 || !child_) {
      fail(459);
      return;
    }
    if (GeneralExprPtr copy = prepare_child(expr)) release(std::exchange(child_, std::move(copy)));
  });
}

void UnaryGeneralExpr::SetChild(int, GeneralExprPtr child) { release(std::exchange(child_, std::move(child))); }

void UnaryGeneralExpr::AppendChild(GeneralExprPtr child) {
  if (!child_) child_ = std::move(child);
}

OwnedGeneralExpr UnaryGeneralExpr::shallow_copy() const { return OwnedGeneralExpr(new UnaryGeneralExpr(type_, model_)); }

void UnaryGeneralExpr::take_children(std::vector<GeneralExprPtr>& out) {
  if (child_) out.push_back(std::move(child_));
}

}  // namespace velorium::cpp_impl
