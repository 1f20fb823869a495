// A variable leaf.
#pragma once

#include <cstdint>
#include <memory>

#include "core/general/general_expression_impl_base.hpp"

namespace velorium::cpp_impl {

// Type variable: a weak reference to the variable's store and its store index. The leaf never
// keeps the store alive; once the store is gone the leaf has no model.
class VariableGeneralExpr final : public GeneralExpressionImplBase {
 public:
  VariableGeneralExpr(std::weak_ptr<ModelBuilder> model, std::int32_t index) noexcept;

  // A new variable handle on the store and the index; null with 111 once the store is gone.
  IVariable* GetVariable() override;

  int arity() const noexcept override { return 0; }
  bool leaf_complete() const noexcept override { return index_ >= 0; }
  OwnedGeneralExpr shallow_copy() const override;
  std::int32_t index() const noexcept { return index_; }

 private:
  std::int32_t index_;
};

}  // namespace velorium::cpp_impl
