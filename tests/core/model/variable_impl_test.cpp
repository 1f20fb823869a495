#include "core/model/variable_impl.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/base/kernel.hpp"
#include "core/store/model_builder.hpp"
#include "support/catalogue_failure.hpp"
#include "support/kernel_absence.hpp"

namespace velorium::cpp_impl {
namespace {

using velorium::testing::catalogue_text;

class VariableTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(get_or_create_kernel()); }
  void TearDown() override {
    for (IVariable* handle : handles_) handle->Release();
  }

  IVariable* add(double lower, double upper, variable_type type, const char* name = nullptr) {
    const auto index = store->add_variable(lower, upper, 0.0, normalize_variable_type(static_cast<int>(type)), name, nullptr);
    return handle(index);
  }
  IVariable* handle(std::int32_t index) {
    handles_.push_back(new VariableImpl(store, index));
    return handles_.back();
  }

  static void expect_error(IVariable* variable, int message_id, const std::string& expected_text) {
    EXPECT_EQ(variable->GetErrorCode(), -1);
    EXPECT_EQ(variable->GetErrorText(), expected_text) << "message " << message_id;
  }
  static void expect_no_error(IVariable* variable) {
    EXPECT_EQ(variable->GetErrorCode(), 0);
    EXPECT_STREQ(variable->GetErrorText(), "");
  }

  std::shared_ptr<ModelBuilder> store = std::make_shared<ModelBuilder>();

 private:
  std::vector<IVariable*> handles_;
};

TEST_F(VariableTest, BinaryBounds) {
  IVariable* v = add(0.0, 1.0, variable_type::binary);
  v->SetLowerBound(1.0);
  expect_no_error(v);
  EXPECT_EQ(v->GetLowerBound(), 1.0);
  v->SetUpperBound(0.0);
  expect_error(v, 119, catalogue_text(119, 0.0, 1.0));
  EXPECT_EQ(v->GetUpperBound(), 1.0);
  expect_no_error(v);
  v->SetLowerBound(0.0);
  v->SetLowerBound(0.5);
  expect_error(v, 123, catalogue_text(123, 0.5));
}

TEST_F(VariableTest, IntegralAndContinuousLowerBounds) {
  IVariable* integer = add(0.0, 10.0, variable_type::integer);
  integer->SetLowerBound(0.5);
  expect_error(integer, 124, catalogue_text(124, 0.5));
  integer->SetLowerBound(2.0 + 1e-15);
  expect_no_error(integer);
  EXPECT_EQ(integer->GetLowerBound(), 2.0 + 1e-15);

  IVariable* continuous = add(0.0, 10.0, variable_type::continuous);
  continuous->SetLowerBound(0.5);
  expect_no_error(continuous);
  EXPECT_EQ(continuous->GetLowerBound(), 0.5);
}

TEST_F(VariableTest, TypeChanges) {
  IVariable* v = add(0.5, 2.7, variable_type::continuous);
  v->SetType(variable_type::integer);
  EXPECT_EQ(v->GetType(), variable_type::integer);
  EXPECT_EQ(v->GetLowerBound(), 0.0);
  EXPECT_EQ(v->GetUpperBound(), 2.0);
  v->SetLowerBound(-5.0);
  v->SetUpperBound(5.0);
  v->SetType(variable_type::binary);
  EXPECT_EQ(v->GetLowerBound(), 0.0);
  EXPECT_EQ(v->GetUpperBound(), 1.0);
  v->SetType(static_cast<variable_type>(7));
  expect_no_error(v);
  EXPECT_EQ(v->GetType(), variable_type::continuous);
  EXPECT_EQ(store->variable_type_of(0), 0u) << "stored as continuous";

  store->append_column({9, 0.0, 1.0, -1}, -1);
  EXPECT_EQ(handle(1)->GetType(), variable_type::continuous) << "an unknown stored code reads as continuous";
}

TEST_F(VariableTest, Names) {
  IVariable* a = add(0.0, 1.0, variable_type::continuous, "a");
  IVariable* b = add(0.0, 1.0, variable_type::continuous, "b");
  EXPECT_STREQ(a->GetName(), "a");
  a->SetName("");
  expect_error(a, 125, catalogue_text(125, ""));
  a->SetName(nullptr);
  expect_error(a, 125, catalogue_text(125, "null"));
  a->SetName(" a");
  expect_error(a, 126, catalogue_text(126, ' '));
  a->SetName("b");
  expect_error(a, 127, catalogue_text(127, "b"));
  a->SetName("a");
  expect_no_error(a);
  EXPECT_STREQ(a->GetName(), "a");
  b->SetName("c");
  EXPECT_STREQ(handle(1)->GetName(), "c") << "handles share the store";

  store->append_column({0, 0.0, 1.0, -1}, -1);
  IVariable* nameless = handle(2);
  EXPECT_EQ(nameless->GetName(), nullptr);
  expect_no_error(nameless);
}

TEST_F(VariableTest, RemovedVariables) {
  IVariable* v = add(1.0, 2.0, variable_type::integer, "v");
  v->Remove();
  expect_no_error(v);
  v->Remove();
  expect_no_error(v);
  EXPECT_EQ(v->GetLowerBound(), 0.0);
  expect_error(v, 111, catalogue_text(111, 0));
  EXPECT_EQ(v->GetUpperBound(), 0.0);
  expect_error(v, 111, catalogue_text(111, 0));
  EXPECT_EQ(v->GetName(), nullptr);
  expect_error(v, 111, catalogue_text(111, 0));
  EXPECT_EQ(v->GetType(), variable_type::continuous);
  expect_error(v, 111, catalogue_text(111, 0));
  v->SetLowerBound(1.0);
  expect_error(v, 111, catalogue_text(111, 0));
  EXPECT_EQ(handle(0)->GetUpperBound(), 0.0) << "every handle of the variable sees the removal";
}

TEST_F(VariableTest, RemovalMovesTheLastVariableButNotItsHandle) {
  add(0.0, 1.0, variable_type::continuous, "p0");
  add(0.0, 2.0, variable_type::continuous, "p1");
  IVariable* last = add(0.0, 3.0, variable_type::continuous, "p2");
  handle(store->variable_at_position(0))->Remove();
  EXPECT_EQ(store->variable_at_position(0), 2);
  EXPECT_STREQ(last->GetName(), "p2");
  EXPECT_EQ(last->GetUpperBound(), 3.0);
}

TEST_F(VariableTest, BadIndicesFailWith110) {
  add(0.0, 1.0, variable_type::continuous);
  for (std::int32_t bad : {-1, 1, 99}) {
    IVariable* v = handle(bad);
    EXPECT_EQ(v->GetLowerBound(), 0.0);
    expect_error(v, 110, catalogue_text(110, bad));
    v->Remove();
    expect_error(v, 110, catalogue_text(110, bad));
    v->SetName("ok");
    expect_error(v, 110, catalogue_text(110, bad));
  }
}

TEST_F(VariableTest, HandleKeepsTheStoreAlive) {
  IVariable* v = add(0.0, 4.0, variable_type::continuous, "kept");
  store.reset();  // the model lets go of its store
  v->SetUpperBound(6.0);
  expect_no_error(v);
  EXPECT_EQ(v->GetUpperBound(), 6.0);
  EXPECT_STREQ(v->GetName(), "kept");
}

TEST_F(VariableTest, ClearedStoreReports111) {
  IVariable* v = add(0.0, 4.0, variable_type::continuous);
  store->remove_all();
  EXPECT_EQ(v->GetUpperBound(), 0.0);
  expect_error(v, 111, catalogue_text(111, 0));
}

TEST_F(VariableTest, AbsentCoreObject) {
  IVariable* v = add(0.0, 4.0, variable_type::continuous, "v");
  velorium::testing::ScopedKernelAbsence absent;
  EXPECT_EQ(v->GetName(), nullptr);
  expect_error(v, 109, catalogue_text(109));
  v->Remove();
  expect_error(v, 109, catalogue_text(109));
  EXPECT_EQ(v->GetUpperBound(), 4.0) << "bounds need no pool";
  expect_no_error(v);
}

TEST_F(VariableTest, ReleaseThroughAnyBase) {
  add(0.0, 1.0, variable_type::continuous);
  const long uses_before = store.use_count();
  IVariable* first = new VariableImpl(store, 0);
  IVariable* second = new VariableImpl(store, 0);
  IVariable* third = new VariableImpl(store, 0);
  EXPECT_EQ(store.use_count(), uses_before + 3);
  static_cast<IReleasable*>(first)->Release();
  dynamic_cast<IReleasable*>(static_cast<IErrorInfo*>(second))->Release();
  delete static_cast<INamedObject*>(third);
  EXPECT_EQ(store.use_count(), uses_before) << "each whole handle destroyed once";
  EXPECT_EQ(store->variable_count(), 1) << "releasing never changes the model";
}

}  // namespace
}  // namespace velorium::cpp_impl
