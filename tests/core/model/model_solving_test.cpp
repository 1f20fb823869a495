#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/results/compute_iis_result_local.hpp"
#include "core/results/solve_result_local.hpp"
#include "core/text/message_catalogue.hpp"
#include "model_test_support.hpp"
#include "support/fake_engine.hpp"
#include "support/kernel_absence.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::cpp_impl {
namespace {

using test::FakeEngine;

// A model with variables x, y, z (each with the objective coefficient 1) and a row x + y <= 3.
class ModelSolving : public ModelFixture {
 protected:
  void SetUp() override {
    ModelFixture::SetUp();
    x = add(0, 5, variable_type::integer, "x", 1.0);
    y = add(0, 5, variable_type::continuous, "y", 1.0);
    z = add(0, 5, variable_type::continuous, "z", 1.0);
    Expression sum;
    sum.linear_terms = {{0, 1.0}, {1, 1.0}};
    store().add_row(sum, -kVeloriumInf, 3.0, "row", nullptr);
  }

  void prepare_optimal_run(FakeEngine& engine) {
    engine.info.model_status = 7;
    engine.info.objective_value = 3.0;
    engine.solution.values = {{"x", 1.0}, {"y", 2.0}, {"z", 0.5}};
  }

  IVariable* x = nullptr;
  IVariable* y = nullptr;
  IVariable* z = nullptr;
};

TEST_F(ModelSolving, WithoutAnEngineSolveAndIisFailWith367AndKeepTheStartValues) {
  EXPECT_STREQ(get_message(367), "Локальное решение моделей не предусмотрено в данной версии.");
  model->AddMipStartValueByName("x", 1.0);
  EXPECT_EQ(model->Solve(), nullptr);
  expect_failure(model, 367);
  EXPECT_EQ(model->ComputeIis(), nullptr);
  expect_failure(model, 367);

  FakeEngine engine;
  prepare_optimal_run(engine);
  Owned<ISolveResult> result(model->Solve());
  ASSERT_NE(result, nullptr) << model->GetErrorText();
  ASSERT_TRUE(engine.start_values.has_value()) << "the failed runs left the start values";
  EXPECT_EQ(engine.start_values->at("x"), 1.0);
}

TEST_F(ModelSolving, TheEngineGetsTheFlatModelEngineTextAndStartValuesOnce) {
  FakeEngine engine;
  prepare_optimal_run(engine);
  model->SetEngineString("engine text");
  model->AddMipStartValue(y, 2.0);
  model->AddMipStartValueByName("z", 0.5);
  model->RemoveVar(z);
  Owned<ISolveResult> first(model->Solve());
  ASSERT_NE(first, nullptr) << model->GetErrorText();
  expect_ok(model);
  EXPECT_EQ(engine.called_method, "solve");
  EXPECT_EQ(engine.engine_string, "engine text");
  ASSERT_TRUE(engine.model.has_value());
  EXPECT_EQ(engine.model->variables.size(), 2u) << "the removed variable is left out";
  ASSERT_TRUE(engine.start_values.has_value());
  EXPECT_EQ(engine.start_values->size(), 2u);

  Owned<ISolveResult> second(model->Solve());
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(engine.start_values.has_value()) << "a run takes the start values";

  model->AddMipStartValueByName(nullptr, 1.0);
  Owned<ISolveResult> third(model->Solve());
  ASSERT_TRUE(engine.start_values.has_value()) << "a null name still marks start values as given";
  EXPECT_TRUE(engine.start_values->empty());
}

TEST_F(ModelSolving, ASolveResultAnswersFromTheRun) {
  FakeEngine engine;
  prepare_optimal_run(engine);
  model->RemoveVar(x);  // the solution still names "x", which the model no longer has
  Owned<ISolveResult> result(model->Solve());
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->GetSolutionStatus(), solution_status::optimal);
  EXPECT_EQ(result->GetVariableValue(y), 2.0);
  EXPECT_EQ(result->GetVariableValueByName("x"), 1.0) << "look-ups by name ask only the solution";
  auto* arrays = dynamic_cast<ISolveResultEx*>(result.get());
  ASSERT_NE(arrays, nullptr);
  std::uint64_t count = 5;
  EXPECT_EQ(arrays->GetValuesArray(&count), nullptr) << "an array needs every name in the model";
  EXPECT_EQ(count, 0u);
  expect_failure(result.get(), 136, "x");
}

TEST_F(ModelSolving, ArraysFollowTheLivePositionsOfTheModel) {
  FakeEngine engine;
  prepare_optimal_run(engine);
  engine.solution.values.erase("x");
  model->RemoveVar(x);
  Owned<ISolveResult> result(model->Solve());
  ASSERT_NE(result, nullptr);
  auto* arrays = dynamic_cast<ISolveResultEx*>(result.get());
  std::uint64_t count = 0;
  const double* values = arrays->GetValuesArray(&count);
  ASSERT_EQ(count, 2u);
  Owned<IVariable> first(model->GetVariable(0));
  Owned<IVariable> second(model->GetVariable(1));
  EXPECT_EQ(values[0], result->GetVariableValue(first.get()));
  EXPECT_EQ(values[1], result->GetVariableValue(second.get()));
  EXPECT_STREQ(first->GetName(), "z");
}

TEST_F(ModelSolving, RunFailures) {
  FakeEngine engine;
  engine.run_succeeds = false;
  EXPECT_EQ(model->Solve(), nullptr);
  expect_failure(model, 400);
  EXPECT_EQ(model->ComputeIis(), nullptr);
  expect_failure(model, 401);
  engine.run_error = "engine says no";
  EXPECT_EQ(model->Solve(), nullptr);
  EXPECT_STREQ(model->GetErrorText(), "engine says no");
  EXPECT_EQ(engine.pipelines_alive, 0);

  engine.throw_on_create = true;
  engine.create_error = "";
  EXPECT_EQ(model->Solve(), nullptr);
  expect_failure(model, 395);
  engine.create_error = "no licence";
  EXPECT_EQ(model->Solve(), nullptr);
  EXPECT_STREQ(model->GetErrorText(), "no licence");
  engine.throw_on_create = false;
  engine.return_null = true;
  EXPECT_EQ(model->ComputeIis(), nullptr);
  expect_failure(model, 395);
}

TEST_F(ModelSolving, ComputeIisRunsOnACopyOfTheOptions) {
  FakeEngine engine;
  engine.info.model_status = 8;
  engine.info.iis_constraints = 1;
  Owned<IComputeIisResult> result(model->ComputeIis());
  ASSERT_NE(result, nullptr) << model->GetErrorText();
  EXPECT_EQ(engine.called_method, "compute_iis");
  EXPECT_STREQ(model->GetStringParam("called_method"), "solve");
  EXPECT_EQ(result->GetModelStatus(), 2);
  EXPECT_EQ(result->GetNumConstraints(), 1);
  EXPECT_NE(dynamic_cast<ComputeIisResultLocal*>(result.get()), nullptr);
}

TEST_F(ModelSolving, WithoutACoreObjectLocalRunsStoreTheFixedText) {
  FakeEngine engine;
  velorium::testing::ScopedKernelAbsence absent;
  EXPECT_EQ(model->Solve(), nullptr);
  EXPECT_STREQ(model->GetErrorText(), kKernelInitErrorText);
  EXPECT_EQ(model->ComputeIis(), nullptr);
  EXPECT_STREQ(model->GetErrorText(), kKernelInitErrorText);
  EXPECT_EQ(engine.pipelines_made, 0);
}

TEST_F(ModelSolving, WithoutACoreObjectRemoteSolvesStoreTheFixedTextAndPrepareNothing) {
  velorium::testing::ScopedKernelAbsence absent;
  EXPECT_EQ(model->SolveRemote("names.map"), nullptr);
  EXPECT_EQ(model->GetErrorCode(), -1);
  EXPECT_STREQ(model->GetErrorText(), kKernelInitErrorText);
  model->SolveRemoteAsync(nullptr);
  EXPECT_EQ(model->GetErrorCode(), -1);
  EXPECT_STREQ(model->GetErrorText(), kKernelInitErrorText);
  EXPECT_FALSE(std::filesystem::exists("names.map"));
  EXPECT_STREQ(model->GetCalcUID(), "");
}

TEST_F(ModelSolving, StartValuesFromASolutionFile) {
  FakeEngine engine;
  prepare_optimal_run(engine);
  test::ScratchDir dir;
  {
    Owned<ISolveResult> result(model->Solve());
    result->WriteSolution(dir.file("start.sol").c_str());
    ASSERT_EQ(result->GetErrorCode(), 0) << result->GetErrorText();
  }
  model->AddMipStartValueByName("y", 9.0);
  model->AddMipStartValues(dir.file("start.sol").c_str());
  expect_ok(model);
  Owned<ISolveResult> second(model->Solve());
  ASSERT_TRUE(engine.start_values.has_value());
  EXPECT_EQ(*engine.start_values, (StartValues{{"x", 1.0}, {"y", 2.0}, {"z", 0.5}})) << "the file's value replaces";

  const std::string missing = dir.file("missing.sol");
  model->AddMipStartValues(missing.c_str());
  expect_failure(model, 117, missing.c_str());
  model->AddMipStartValues(nullptr);
  expect_failure(model, 117, "null");
  Owned<ISolveResult> third(model->Solve());
  ASSERT_TRUE(engine.start_values.has_value()) << "the attempt marked start values as given";
  EXPECT_TRUE(engine.start_values->empty()) << "nothing was added";
}

}  // namespace
}  // namespace velorium::cpp_impl
