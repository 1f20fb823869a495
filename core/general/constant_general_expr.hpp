// A constant leaf.
#pragma once

#include "core/general/general_expression_impl_base.hpp"

namespace velorium::cpp_impl {

// Type constant, no model, a value.
class ConstantGeneralExpr final : public GeneralExpressionImplBase {
 public:
  explicit ConstantGeneralExpr(double value) noexcept;

  double GetConstant() override;

  int arity() const noexcept override { return 0; }
  OwnedGeneralExpr shallow_copy() const override;
  double value() const noexcept { return value_; }

 private:
  double value_;
};

}  // namespace velorium::cpp_impl
