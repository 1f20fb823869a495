// The model object: creation, name, variables, objective sense and offset, Clear.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/model/model_impl.hpp"
#include "core/model/variable_impl.hpp"
#include "core/names/names_holder.hpp"
#include "support/comma_locale.hpp"
#include "support/kernel_absence.hpp"
#include "support/recording_objects.hpp"
#include "core/model/model_test_support.hpp"

namespace velorium::cpp_impl {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

using ModelVariablesTest = ModelFixture;

// A view that refers to no column: every operation on it reports 110 for index -1.
void expect_detached(IVariable* variable) {
  ASSERT_NE(variable, nullptr);
  EXPECT_EQ(variable->GetLowerBound(), 0.0);
  EXPECT_EQ(variable->GetErrorCode(), -1);
  EXPECT_EQ(std::string(variable->GetErrorText()), velorium::testing::catalogue_text(110, -1));
}

TEST_F(ModelVariablesTest, NewModelHasNoErrorNoNameAndNoMembers) {
  EXPECT_EQ(model->GetErrorCode(), 0);
  EXPECT_STREQ(model->GetErrorText(), "");
  EXPECT_STREQ(model->GetName(), "");
  EXPECT_EQ(model->GetVariablesCount(), 0);
  EXPECT_EQ(model->GetObjectiveSense(), objective_sense::minimize);
  EXPECT_FALSE(model->IsMip());
  EXPECT_STREQ(model->GetCalcUID(), "");
}

TEST_F(ModelVariablesTest, NameIsKeptInTheStoreAndNullClearsIt) {
  model->SetName("plan");
  EXPECT_STREQ(model->GetName(), "plan");
  EXPECT_EQ(store().model->name, "plan");
  model->SetName(nullptr);
  expect_ok(model);
  EXPECT_STREQ(model->GetName(), "");
}

TEST_F(ModelVariablesTest, AddedVariablesAreViewsOnTheirColumns) {
  IVariable* x = add(0.0, 10.0, variable_type::integer, "x", 3.0);
  IVariable* unnamed = add(-kInf, kInf);
  expect_ok(model);
  EXPECT_EQ(model->GetVariablesCount(), 2);
  EXPECT_STREQ(x->GetName(), "x");
  EXPECT_STREQ(unnamed->GetName(), "x#1");
  EXPECT_EQ(x->GetType(), variable_type::integer);
  EXPECT_EQ(x->GetUpperBound(), 10.0);
  ASSERT_EQ(store().model->objective.linear_terms.size(), 1u);
  EXPECT_EQ(store().model->objective.linear_terms[0].coefficient, 3.0);

  // A second view of the same column sees a change made through the first.
  IVariable* again = own(model->GetVariableByName("x"));
  x->SetUpperBound(7.0);
  EXPECT_EQ(again->GetUpperBound(), 7.0);
  EXPECT_TRUE(model->IsMip());
}

TEST_F(ModelVariablesTest, TypeOutsideTheEnumerationIsContinuous) {
  for (int type : {9, -1, 5, 100}) {
    IVariable* v = add(0.5, 2.5, static_cast<variable_type>(type));
    expect_ok(model);
    EXPECT_EQ(v->GetType(), variable_type::continuous) << type;
    EXPECT_EQ(v->GetLowerBound(), 0.5) << type;
  }
  EXPECT_FALSE(model->IsMip());
}

TEST_F(ModelVariablesTest, FailedAdditionReturnsAViewOnNoColumn) {
  IVariable* bad = add(5.0, 1.0);
  expect_failure(model, 115, 1.0, 5.0);
  EXPECT_EQ(model->GetVariablesCount(), 0);
  expect_detached(bad);

  IVariable* blank = add(0.0, 1.0, variable_type::continuous, " x");
  expect_failure(model, 126, ' ');
  expect_detached(blank);

  // The next successful operation clears the model's error.
  add(0.0, 1.0);
  expect_ok(model);
}

TEST_F(ModelVariablesTest, LookupsOutsideTheLiveVariablesFail) {
  add(0.0, 1.0, variable_type::continuous, "a");
  for (int position : {-1, 1, 1000, std::numeric_limits<int>::min()}) {
    IVariable* v = own(model->GetVariable(position));
    expect_failure(model, 110, position);
    expect_detached(v);
  }
  IVariable* missing = own(model->GetVariableByName("b"));
  expect_failure(model, 136, "b");
  expect_detached(missing);
  IVariable* null_name = own(model->GetVariableByName(nullptr));
  expect_failure(model, 136, "");
  expect_detached(null_name);
}

TEST_F(ModelVariablesTest, PositionsFollowRemovals) {
  IVariable* a = add(0.0, 1.0, variable_type::continuous, "a");
  add(0.0, 2.0, variable_type::continuous, "b");
  add(0.0, 3.0, variable_type::continuous, "c");
  model->RemoveVar(a);
  expect_ok(model);
  EXPECT_EQ(model->GetVariablesCount(), 2);
  // The last live variable moved into the freed position.
  EXPECT_STREQ(own(model->GetVariable(0))->GetName(), "c");
  EXPECT_STREQ(own(model->GetVariable(1))->GetName(), "b");
  own(model->GetVariableByName("a"));
  expect_failure(model, 136, "a");
  // A second removal of the same variable is no failure.
  model->RemoveVar(a);
  expect_ok(model);
  EXPECT_EQ(model->GetVariablesCount(), 2);
}

TEST_F(ModelVariablesTest, RemoveVarRefusesForeignAndDetachedHandles) {
  add(0.0, 1.0);
  Owned<ModelImpl> other(new ModelImpl());
  Owned<IVariable> foreign(other->AddVariable(0.0, 1.0, 0.0, variable_type::continuous, nullptr));
  velorium::testing::RecordingVariable not_ours;

  model->RemoveVar(nullptr);
  expect_failure(model, 396);
  model->RemoveVar(&not_ours);
  expect_failure(model, 396);
  model->RemoveVar(foreign.get());
  expect_failure(model, 394);
  EXPECT_EQ(other->GetVariablesCount(), 1);

  // Handles of failed look-ups and additions name no column.
  model->RemoveVar(own(model->GetVariable(7)));
  expect_failure(model, 110, -1);
  model->RemoveVar(add(3.0, 2.0));
  expect_failure(model, 110, -1);
  EXPECT_EQ(model->GetVariablesCount(), 1);
}

TEST_F(ModelVariablesTest, ObjectiveSenseIsNormalised) {
  struct Case {
    int given;
    objective_sense stored;
  };
  for (const Case c : {Case{0, objective_sense::minimize}, Case{1, objective_sense::maximize},
                       Case{5, objective_sense::maximize}, Case{-1, objective_sense::maximize}}) {
    model->SetObjectiveSense(static_cast<objective_sense>(c.given));
    expect_ok(model);
    EXPECT_EQ(model->GetObjectiveSense(), c.stored) << c.given;
    EXPECT_EQ(store().model->objective_sense, static_cast<int>(c.stored)) << c.given;
  }
}

TEST_F(ModelVariablesTest, ClearObjectiveKeepsSenseAndName) {
  add(0.0, 1.0, variable_type::continuous, nullptr, 2.0);
  store().model->objective.quadratic_terms.push_back({0, 0, 1.0});
  store().set_objective_name("cost");
  model->SetObjectiveOffset(4.5);
  EXPECT_EQ(store().model->objective.constant, 4.5);
  model->SetObjectiveSense(objective_sense::maximize);

  model->ClearObjective();
  expect_ok(model);
  const Expression& objective = store().model->objective;
  EXPECT_TRUE(objective.linear_terms.empty());
  EXPECT_TRUE(objective.quadratic_terms.empty());
  EXPECT_EQ(objective.constant, 0.0);
  EXPECT_EQ(model->GetObjectiveSense(), objective_sense::maximize);
  EXPECT_STREQ(get_names_holder()->names_holder_get(objective.name_id), "cost");
}

TEST_F(ModelVariablesTest, ClearGivesANewStoreAndOldHandlesReportRemoval) {
  IVariable* before = add(0.0, 1.0, variable_type::integer, "a");
  model->SetName("kept?");
  model->SetObjectiveSense(objective_sense::maximize);
  model->AddMipStartValueByName("a", 1.0);
  model->SetEngineString("engine");
  const auto old_store = model->store();

  model->Clear();
  expect_ok(model);
  EXPECT_NE(model->store(), old_store);
  EXPECT_EQ(model->GetVariablesCount(), 0);
  EXPECT_FALSE(model->IsMip());
  // The model record goes with the store: name and sense start afresh.
  EXPECT_STREQ(model->GetName(), "");
  EXPECT_EQ(model->GetObjectiveSense(), objective_sense::minimize);

  EXPECT_EQ(before->GetUpperBound(), 0.0);
  EXPECT_EQ(before->GetErrorCode(), -1);
  EXPECT_EQ(std::string(before->GetErrorText()), velorium::testing::catalogue_text(111, 0));
  EXPECT_EQ(old_store->variable_count(), 0);

  // The old handle belongs to another store now.
  model->RemoveVar(before);
  expect_failure(model, 394);
  // The new store starts its generated names afresh.
  EXPECT_STREQ(add(0.0, 1.0)->GetName(), "x#0");
  EXPECT_STREQ(add(0.0, 1.0, variable_type::continuous, "a")->GetName(), "a");
}

TEST_F(ModelVariablesTest, IsMipCountsRemovedVariables) {
  add(0.0, 1.0);
  IVariable* integral = add(0.0, 4.0, variable_type::integer);
  EXPECT_TRUE(model->IsMip());
  model->RemoveVar(integral);
  EXPECT_TRUE(model->IsMip());
}

TEST_F(ModelVariablesTest, HandlesOutliveTheModel) {
  IVariable* x = add(0.0, 1.0, variable_type::continuous, "x");
  owner.reset();
  x->SetUpperBound(3.0);
  EXPECT_EQ(x->GetUpperBound(), 3.0);
  EXPECT_STREQ(x->GetName(), "x");
}

TEST_F(ModelVariablesTest, WithoutTheCoreObjectAdditionsReport109) {
  velorium::testing::ScopedKernelAbsence absent;
  IVariable* v = add(0.0, 1.0);
  expect_failure(model, 109);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(model->GetVariablesCount(), 0);
}

TEST_F(ModelVariablesTest, StartValueOfADetachedHandleReports110) {
  IVariable* detached = own(model->GetVariable(3));
  model->AddMipStartValue(detached, 1.0);
  expect_failure(model, 110, -1);
}

TEST(ModelFactory, CreatesIndependentModels) {
  Owned<IModel> first(CreateModel());
  Owned<IModel> second(CreateModel());
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(dynamic_cast<IMatrixModel*>(first.get()), nullptr);
  Owned<IVariable> v(first->AddVariable(0.0, 1.0, 0.0, variable_type::continuous, "v"));
  EXPECT_EQ(first->GetVariablesCount(), 1);
  EXPECT_EQ(second->GetVariablesCount(), 0);
  // A failure on one model leaves the other's error information alone.
  Owned<IVariable> bad(first->AddVariable(2.0, 1.0, 0.0, variable_type::continuous, nullptr));
  EXPECT_EQ(first->GetErrorCode(), -1);
  EXPECT_EQ(second->GetErrorCode(), 0);
}

// Runs in a process of its own, so that its model is the first of the process.
TEST(ModelFactoryDeathTest, FirstModelSetsAPointDecimalSeparator) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        velorium::test::ScopedCommaLocale comma;
        if (!comma.active()) std::exit(2);
        IModel* first = CreateModel();
        const bool point = std::strcmp(std::localeconv()->decimal_point, ".") == 0;
        first->Release();
        std::exit(point ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace velorium::cpp_impl
