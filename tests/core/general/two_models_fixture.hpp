// A fixture with two model stores and variables in each, for the model checks of trees.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "core/base/kernel.hpp"
#include "core/model/variable_impl.hpp"
#include "core/store/model_builder.hpp"
#include "general_expr_test_support.hpp"
#include "support/catalogue_failure.hpp"

namespace velorium::testing {

class TwoModels : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(cpp_impl::get_or_create_kernel());
    for (const char* name : {"a0", "a1", "a2"}) store_a->add_variable(0.0, 10.0, 0.0, 0, name, nullptr);
    store_b->add_variable(0.0, 10.0, 0.0, 0, "b0", nullptr);
  }

  // A variable node of store `store` at `index`, made through the public factory.
  static OwnedExpr variable(const std::shared_ptr<cpp_impl::ModelBuilder>& store, std::int32_t index) {
    const Owned<IVariable> handle(new cpp_impl::VariableImpl(store, index));
    return OwnedExpr(CreateGeneralExpression(handle.get()));
  }
  OwnedExpr a(std::int32_t index) const { return variable(store_a, index); }
  OwnedExpr b() const { return variable(store_b, 0); }
  // Plus(a0): a sum that belongs to store A.
  OwnedExpr sum_of_a() const {
    OwnedExpr sum = node(gen_expr_type::plus);
    sum->AddExpr(a(0).get());
    return sum;
  }

  std::shared_ptr<cpp_impl::ModelBuilder> store_a = std::make_shared<cpp_impl::ModelBuilder>();
  std::shared_ptr<cpp_impl::ModelBuilder> store_b = std::make_shared<cpp_impl::ModelBuilder>();
};

// The Russian text of message 405.
inline constexpr const char* kAnotherModel = "Невозможно добавить выражение из другой модели";

}  // namespace velorium::testing
