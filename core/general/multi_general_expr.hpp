// A node with any number of children: plus and multiply, summed or multiplied in order.
#pragma once

#include <vector>

#include "core/general/general_expression_impl_base.hpp"

namespace velorium::cpp_impl {

class MultiGeneralExpr final : public GeneralExpressionImplBase {
 public:
  // No children; the type's arity must be any number (460).
  explicit MultiGeneralExpr(gen_expr_type type) noexcept;
  ~MultiGeneralExpr() override;

  IGeneralExpression* GetExpr(int index) override;                       // 461
  void SetExpr(int index, const IGeneralExpression* expr) override;      // 459, model check
  void AddExpr(const IGeneralExpression* expr) override;                 // model check
  // Moves the last child into the freed place, so the order of the others changes.
  void RemoveExpr(int index) override;                                   // 461

  void SetChild(int index, GeneralExprPtr child) override;
  void AppendChild(GeneralExprPtr child) override;
  GeneralExpressionImplBase* GetChild(int index) const noexcept override;

  int arity() const noexcept override { return -1; }
  int child_count() const noexcept override { return static_cast<int>(children_.size()); }
  int child_slots() const noexcept override { return child_count(); }
  OwnedGeneralExpr shallow_copy() const override;
  void take_children(std::vector<GeneralExprPtr>& out) override;

 private:
  MultiGeneralExpr(gen_expr_type type, std::weak_ptr<ModelBuilder> model) noexcept;

  bool holds(int index) const noexcept { return index >= 0 && index < child_count(); }

  std::vector<GeneralExprPtr> children_;
};

}  // namespace velorium::cpp_impl
