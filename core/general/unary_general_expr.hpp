// A node with one child: the functions (square root, square, exp, the logarithms, sin, cos,
// tan, logistic, tanh).
#pragma once

#include <vector>

#include "core/general/general_expression_impl_base.hpp"

namespace velorium::cpp_impl {

class UnaryGeneralExpr final : public GeneralExpressionImplBase {
 public:
  // Without a child and without the arity check: the model store completes such a node with
  // AppendChild.
  explicit UnaryGeneralExpr(gen_expr_type type) noexcept;
  // The arity check (460), then a copy of `operand` as the child (391, 405).
  UnaryGeneralExpr(gen_expr_type type, const IGeneralExpression* operand);
  ~UnaryGeneralExpr() override;

  IGeneralExpression* GetExpr(int index) override;
  // Replaces a present child, after the model check.
  void SetExpr(int index, const IGeneralExpression* expr) override;

  void SetChild(int index, GeneralExprPtr child) override;
  void AppendChild(GeneralExprPtr child) override;
  GeneralExpressionImplBase* GetChild(int index) const noexcept override { return child_.get(); }

  int arity() const noexcept override { return 1; }
  int child_count() const noexcept override { return child_ ? 1 : 0; }
  int child_slots() const noexcept override { return 1; }
  OwnedGeneralExpr shallow_copy() const override;
  void take_children(std::vector<GeneralExprPtr>& out) override;

 private:
  UnaryGeneralExpr(gen_expr_type type, std::weak_ptr<ModelBuilder> model) noexcept;

  GeneralExprPtr child_;
};

}  // namespace velorium::cpp_impl
