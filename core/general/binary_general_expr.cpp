#include "core/general/binary_general_expr.hpp"

#include <utility>

#include "core/general/origin_general_expr.hpp"

namespace velorium::cpp_impl {

BinaryGeneralExpr::BinaryGeneralExpr(gen_expr_type type) noexcept : GeneralExpressionImplBase(type, {}) {}

BinaryGeneralExpr::BinaryGeneralExpr(gen_expr_type type, std::weak_ptr<ModelBuilder> model) noexcept
    : GeneralExpressionImplBase(type, std::move(model)) {}

BinaryGeneralExpr::BinaryGeneralExpr(gen_expr_type type, const IGeneralExpression* left,
                                     const IGeneralExpression* right)
    : GeneralExpressionImplBase(type, {}) {
  if (!check_class_arity(2)) return;
  GeneralExprPtr left_copy = prepare_child(left);
  if (!left_copy) return;
  GeneralExprPtr right_copy = prepare_child(right);
  if (!right_copy) {
    release(std::move(left_copy));
    return;
  }
  children_[0] = std::move(left_copy);
  children_[1] = std::move(right_copy);
}

BinaryGeneralExpr::~BinaryGeneralExpr() { release_children(); }

IGeneralExpression* BinaryGeneralExpr::GetExpr(int index) {
  return guarded<IGeneralExpression*>(nullptr, [&]() -> IGeneralExpression* {
    if ((index != 0 && index != 1) || !slot(index)) {
      fail(459);
      return nullptr;
    }
    return new OriginGeneralExpr(slot(index));
  });
}

void BinaryGeneralExpr::SetExpr(int index, const IGeneralExpression* expr) {
  guarded([&] {
    if (index != 0 && index != 1) {
      fail(459);
      return;
    }
    if (GeneralExprPtr copy = prepare_child(expr)) release(std::exchange(slot(index), std::move(copy)));
  });
}

void BinaryGeneralExpr::SetChild(int index, GeneralExprPtr child) {
  release(std::exchange(slot(index), std::move(child)));
}

void BinaryGeneralExpr::AppendChild(GeneralExprPtr child) {
  for (GeneralExprPtr& place : children_) {
    if (!place) {
      place = std::move(child);
      return;
    }
  }
}

GeneralExpressionImplBase* BinaryGeneralExpr::GetChild(int index) const noexcept {
  return (index == 0 ? children_[0] : children_[1]).get();
}

int BinaryGeneralExpr::child_count() const noexcept {
  return (children_[0] ? 1 : 0) + (children_[1] ? 1 : 0);
}

OwnedGeneralExpr BinaryGeneralExpr::shallow_copy() const { return OwnedGeneralExpr(new BinaryGeneralExpr(type_, model_)); }

void BinaryGeneralExpr::take_children(std::vector<GeneralExprPtr>& out) {
  for (GeneralExprPtr& child : children_) {
    if (child) out.push_back(std::move(child));
  }
}

}  // namespace velorium::cpp_impl
