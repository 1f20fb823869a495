// A node with two children: minus, divide, pow and signpow. Child 0 is the left operand
// (the base of a power), child 1 the right one.
#pragma once

#include <array>
#include <vector>

#include "core/general/general_expression_impl_base.hpp"

namespace velorium::cpp_impl {

class BinaryGeneralExpr final : public GeneralExpressionImplBase {
 public:
  // Without children and without the arity check: the model store completes such a node with
  // AppendChild (left, then right).
  explicit BinaryGeneralExpr(gen_expr_type type) noexcept;
  // The arity check (460), then the model checks of both operands; when either fails (405)
  // the node keeps that error and has no children. Else copies of both become its children.
  BinaryGeneralExpr(gen_expr_type type, const IGeneralExpression* left, const IGeneralExpression* right);
  ~BinaryGeneralExpr() override;

  IGeneralExpression* GetExpr(int index) override;
  // Replaces child 0 or 1 (present or not), after the model check.
  void SetExpr(int index, const IGeneralExpression* expr) override;

  // Index 0 the left child, any other the right one.
  void SetChild(int index, GeneralExprPtr child) override;
  void AppendChild(GeneralExprPtr child) override;
  GeneralExpressionImplBase* GetChild(int index) const noexcept override;

  int arity() const noexcept override { return 2; }
  int child_count() const noexcept override;
  int child_slots() const noexcept override { return 2; }
  OwnedGeneralExpr shallow_copy() const override;
  void take_children(std::vector<GeneralExprPtr>& out) override;

 private:
  BinaryGeneralExpr(gen_expr_type type, std::weak_ptr<ModelBuilder> model) noexcept;

  GeneralExprPtr& slot(int index) noexcept { return index == 0 ? children_[0] : children_[1]; }

  std::array<GeneralExprPtr, 2> children_;
};

}  // namespace velorium::cpp_impl
