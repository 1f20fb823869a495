#include "core/general/origin_general_expr.hpp"

namespace velorium::cpp_impl {

GeneralExprPtr OriginGeneralExpr::innermost(GeneralExprPtr node) noexcept {
  if (const auto* view = dynamic_cast<const OriginGeneralExpr*>(node.get())) return view->target_;
  return node;
}

OriginGeneralExpr::OriginGeneralExpr(GeneralExprPtr target) noexcept
    : GeneralExpressionImplBase(target->type(), {}), target_(innermost(std::move(target))) {}

OriginGeneralExpr::~OriginGeneralExpr() { release_children(); }

double OriginGeneralExpr::GetConstant() {
  return forward([](GeneralExpressionImplBase& target) { return target.GetConstant(); });
}

IVariable* OriginGeneralExpr::GetVariable() {
  return forward([](GeneralExpressionImplBase& target) { return target.GetVariable(); });
}

int OriginGeneralExpr::GetExprCount() {
  return forward([](GeneralExpressionImplBase& target) { return target.GetExprCount(); });
}

int OriginGeneralExpr::GetArity() {
  return forward([](GeneralExpressionImplBase& target) { return target.GetArity(); });
}

IGeneralExpression* OriginGeneralExpr::GetExpr(int index) {
  return forward([index](GeneralExpressionImplBase& target) { return target.GetExpr(index); });
}

void OriginGeneralExpr::SetExpr(int index, const IGeneralExpression* expr) {
  forward([index, expr](GeneralExpressionImplBase& target) { target.SetExpr(index, expr); });
}

void OriginGeneralExpr::AddExpr(const IGeneralExpression* expr) {
  forward([expr](GeneralExpressionImplBase& target) { target.AddExpr(expr); });
}

void OriginGeneralExpr::RemoveExpr(int index) {
  forward([index](GeneralExpressionImplBase& target) { target.RemoveExpr(index); });
}

OwnedGeneralExpr OriginGeneralExpr::shallow_copy() const { return OwnedGeneralExpr(new OriginGeneralExpr(target_)); }

void OriginGeneralExpr::take_children(std::vector<GeneralExprPtr>& out) {
  if (target_) out.push_back(std::move(target_));
}

}  // namespace velorium::cpp_impl
