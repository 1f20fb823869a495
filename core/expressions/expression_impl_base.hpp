// What the linear and the quadratic expression objects share: the store they work on, and the
// name operations of both faces.
#pragma once

#include <memory>
#include <utility>

#include "core/base/error_info_base.hpp"
#include "core/base/kernel.hpp"
#include "core/expressions/expr_data.hpp"
#include "core/expressions/expression_names.hpp"

namespace velorium::cpp_impl {

class ExpressionImplBase {
 public:
  explicit ExpressionImplBase(std::shared_ptr<expr_data> store) noexcept : data_(std::move(store)) {}

  // The store: for the model and the general-expression conversion, which read its terms
  // through get_terms().
  const std::shared_ptr<expr_data>& store() const noexcept { return data_; }

 protected:
  std::shared_ptr<expr_data> data_;
};

// One implementation of the construction and the name operations for both faces.
template <class Interface>
class ExpressionObject : public ExpressionImplBase, public ErrorInfoBase<Interface> {
 public:
  // A new object on `store`; makes the core object when none exists yet.
  explicit ExpressionObject(std::shared_ptr<expr_data> store) : ExpressionImplBase(std::move(store)) {
    get_or_create_kernel();
  }

  const char* GetName() override {
    return this->guarded(static_cast<const char*>(nullptr), [&] {
      require_kernel();
      return expression_name(*data_);
    });
  }

  void SetName(const char* name) override {
    this->guarded([&] {
      require_kernel();
      set_expression_name(*data_, name);
    });
  }
};

}  // namespace velorium::cpp_impl
