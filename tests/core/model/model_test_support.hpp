// A model object for tests, and ownership of the objects it hands out.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/model/model_impl.hpp"
#include "core/store/model_builder.hpp"
#include "support/catalogue_failure.hpp"
#include "support/owned.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

using test::Owned;

// Receives the model's log lines.
class CollectingCallback : public ILogCallback {
 public:
  void LogMessage(const char* text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
  std::string all() const {
    std::string joined;
    for (const std::string& line : lines) joined += line;
    return joined;
  }
};

// A fresh model; every object the test takes through `own` is released at the end.
class ModelFixture : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(get_or_create_kernel()); }

  template <class T>
  T* own(T* object) {
    if (object) owned_.emplace_back(object);
    return object;
  }

  IVariable* add(double lower, double upper, variable_type type = variable_type::continuous,
                 const char* name = nullptr, double objective = 0.0) {
    return own(model->AddVariable(lower, upper, objective, type, name));
  }

  ModelBuilder& store() { return *model->store(); }

  static void expect_ok(IErrorInfo* object) {
    EXPECT_EQ(object->GetErrorCode(), 0);
    EXPECT_STREQ(object->GetErrorText(), "");
  }
  template <class... Args>
  static void expect_failure(IErrorInfo* object, int message_id, Args... args) {
    EXPECT_EQ(object->GetErrorCode(), -1) << "message " << message_id;
    EXPECT_EQ(std::string(object->GetErrorText()), velorium::testing::catalogue_text(message_id, args...));
  }

  Owned<ModelImpl> owner{new ModelImpl()};
  ModelImpl* model = owner.get();

 private:
  std::vector<Owned<IReleasable>> owned_;
};

}  // namespace velorium::cpp_impl
