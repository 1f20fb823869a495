// A model store with a few variables, and handles that the fixture releases: the ground on
// which the expression and constraint tests stand.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/model/variable_impl.hpp"
#include "core/store/model_builder.hpp"
#include "support/catalogue_failure.hpp"
#include "velorium/velorium.hpp"

namespace velorium::testing {

class ExpressionFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(cpp_impl::get_or_create_kernel());
    for (const char* name : {"x", "y", "z"}) vars.push_back(add_variable(model, name));
    x = vars[0];
    y = vars[1];
    z = vars[2];
  }
  void TearDown() override {
    for (IReleasable* object : owned_) object->Release();
  }

  // Takes `object` into the fixture's care and hands it back.
  template <class Object>
  Object* own(Object* object) {
    if (object) owned_.push_back(object);
    return object;
  }

  IVariable* add_variable(const std::shared_ptr<cpp_impl::ModelBuilder>& store, const char* name = nullptr) {
    const std::int32_t index = store->add_variable(0.0, 10.0, 0.0, 0, name, nullptr);
    return variable(store, index);
  }
  IVariable* variable(const std::shared_ptr<cpp_impl::ModelBuilder>& store, std::int32_t index) {
    return own<IVariable>(new cpp_impl::VariableImpl(store, index));
  }
  ILinearExpression* linear() { return own(CreateLinearExpression()); }
  IQuadExpression* quadratic() { return own(CreateQuadExpression()); }

  // A row of `model` holding the terms of `terms`.
  std::int32_t add_row(const Expression& terms, const char* name = nullptr) {
    return model->add_row(terms, -kVeloriumInf, kVeloriumInf, name, nullptr);
  }

  static ::testing::AssertionResult ok(const IErrorInfo* object) {
    if (object->GetErrorCode() == 0 && std::string(object->GetErrorText()).empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "error " << object->GetErrorCode() << ": " << object->GetErrorText();
  }
  template <class... Args>
  static ::testing::AssertionResult failed(const IErrorInfo* object, int message_id, Args... args) {
    const std::string expected = catalogue_text(message_id, args...);
    if (object->GetErrorCode() == -1 && expected == object->GetErrorText()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "error " << object->GetErrorCode() << " \"" << object->GetErrorText()
                                         << "\" instead of \"" << expected << "\"";
  }

  std::shared_ptr<cpp_impl::ModelBuilder> model = std::make_shared<cpp_impl::ModelBuilder>();
  std::vector<IVariable*> vars;
  IVariable* x = nullptr;
  IVariable* y = nullptr;
  IVariable* z = nullptr;

 private:
  std::vector<IReleasable*> owned_;
};

}  // namespace velorium::testing
