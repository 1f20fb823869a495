#include "core/general/multi_general_expr.hpp"

#include <utility>

#include "core/general/origin_general_expr.hpp"
#include "core/store/reserve_one_more.hpp"

namespace velorium::cpp_impl {

MultiGeneralExpr::MultiGeneralExpr(gen_expr_type type) noexcept : GeneralExpressionImplBase(type, {}) {
  check_class_arity(-1);
}

MultiGeneralExpr::MultiGeneralExpr(gen_expr_type type, std::weak_ptr<ModelBuilder> model) noexcept
    : GeneralExpressionImplBase(type, std::move(model)) {}

MultiGeneralExpr::~MultiGeneralExpr() { release_children(); }

IGeneralExpression* MultiGeneralExpr::GetExpr(int index) {
  return guarded<IGeneralExpression*>(nullptr, [&]() -> IGeneralExpression* {
    if (!holds(index)) {
      fail(461, index);
      return nullptr;
    }
    return new OriginGeneralExpr(children_[static_cast<std::size_t>(index)]);
  });
}

void MultiGeneralExpr::SetExpr(int index, const IGeneralExpression* expr) {
  guarded([&] {
    if (!holds(index)) {
      fail(459);
      return;
    }
    if (GeneralExprPtr copy = prepare_child(expr)) {
      release(std::exchange(children_[static_cast<std::size_t>(index)], std::move(copy)));
    }
  });
}

void MultiGeneralExpr::AddExpr(const IGeneralExpression* expr) {
  guarded([&] {
    reserve_one_more(children_);  // so that nothing can fail after the model check
    if (GeneralExprPtr copy = prepare_child(expr)) children_.push_back(std::move(copy));
  });
}

void MultiGeneralExpr::RemoveExpr(int index) {
  guarded([&] {
    if (!holds(index)) {
      fail(461, index);
      return;
    }
    GeneralExprPtr removed = std::move(children_[static_cast<std::size_t>(index)]);
    if (index != child_count() - 1) children_[static_cast<std::size_t>(index)] = std::move(children_.back());
    children_.pop_back();
    release(std::move(removed));
  });
}

void MultiGeneralExpr::SetChild(int index, GeneralExprPtr child) {
  if (index == child_count()) {
    children_.push_back(std::move(child));
  } else if (holds(index)) {
    release(std::exchange(children_[static_cast<std::size_t>(index)], std::move(child)));
  }
}

void MultiGeneralExpr::AppendChild(GeneralExprPtr child) { children_.push_back(std::move(child)); }

GeneralExpressionImplBase* MultiGeneralExpr::GetChild(int index) const noexcept {
  return holds(index) ? children_[static_cast<std::size_t>(index)].get() : nullptr;
}

OwnedGeneralExpr MultiGeneralExpr::shallow_copy() const { return OwnedGeneralExpr(new MultiGeneralExpr(type_, model_)); }

void MultiGeneralExpr::take_children(std::vector<GeneralExprPtr>& out) {
  for (GeneralExprPtr& child : children_) {
    if (child) out.push_back(std::move(child));
  }
  children_.clear();
}

}  // namespace velorium::cpp_impl
