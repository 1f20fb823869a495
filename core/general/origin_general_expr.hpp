// A view: a node that stands for a node held elsewhere (a child of a tree, the root of a
// general constraint).
#pragma once

#include <type_traits>
#include <vector>

#include "core/general/general_expression_impl_base.hpp"

namespace velorium::cpp_impl {

// Forwards the interface operations to its target and then takes over the target's error
// code and text, so changes made through the view change the tree that holds the target. It
// keeps the target alive, has no model of its own (the model checks look through it), and its
// type is the target's at the time the view was made. Copying a view gives another view of the
// same target. The target is never itself a view: a view of a view stands for the inner
// view's target.
class OriginGeneralExpr final : public GeneralExpressionImplBase {
 public:
  explicit OriginGeneralExpr(GeneralExprPtr target) noexcept;
  ~OriginGeneralExpr() override;

  double GetConstant() override;
  IVariable* GetVariable() override;
  int GetExprCount() override;
  int GetArity() override;
  IGeneralExpression* GetExpr(int index) override;
  void SetExpr(int index, const IGeneralExpression* expr) override;
  void AddExpr(const IGeneralExpression* expr) override;
  void RemoveExpr(int index) override;

  void SetChild(int index, GeneralExprPtr child) override { target_->SetChild(index, std::move(child)); }
  void AppendChild(GeneralExprPtr child) override { target_->AppendChild(std::move(child)); }
  GeneralExpressionImplBase* GetChild(int index) const noexcept override { return target_->GetChild(index); }

  int arity() const noexcept override { return target_->arity(); }
  int child_count() const noexcept override { return target_->child_count(); }
  int child_slots() const noexcept override { return target_->child_slots(); }
  bool leaf_complete() const noexcept override { return target_->leaf_complete(); }
  GeneralExpressionImplBase* view_target() const noexcept override { return target_.get(); }
  OwnedGeneralExpr shallow_copy() const override;
  void take_children(std::vector<GeneralExprPtr>& out) override;

  const GeneralExprPtr& target() const noexcept { return target_; }

 private:
  static GeneralExprPtr innermost(GeneralExprPtr node) noexcept;

  // Runs `operation` on the target and takes over the target's error information.
  template <class Operation>
  auto forward(Operation&& operation) {
    clear_error();
    if constexpr (std::is_void_v<decltype(operation(*target_))>) {
      operation(*target_);
      take_target_error();
    } else {
      auto result = operation(*target_);
      take_target_error();
      return result;
    }
  }
  void take_target_error() noexcept { SetError(target_->GetErrorText(), target_->GetErrorCode()); }

  GeneralExprPtr target_;
};

}  // namespace velorium::cpp_impl
