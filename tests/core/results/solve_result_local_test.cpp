#include "core/results/solve_result_local.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/model/variable_impl.hpp"
#include "core/store/model_builder.hpp"
#include "formats/solution/solution_reader.hpp"
#include "support/catalogue_failure.hpp"
#include "support/fake_engine.hpp"
#include "support/owned.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::cpp_impl {
namespace {

using velorium::testing::catalogue_text;
using velorium::test::FakeEngine;
using velorium::test::Owned;

constexpr double kInf = std::numeric_limits<double>::infinity();

// A store with variables a, b, c and rows r0, r1, solved by the fake engine with a = 1,
// b = 2, c = 3, duals r0 = 10, r1 = 20 and reduced costs a = -1, c = -3.
class SolveResultLocalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(get_or_create_kernel());
    for (const char* name : {"a", "b", "c"}) store->add_variable(0.0, 10.0, 0.0, 0, name, nullptr);
    Expression sum;
    sum.linear_terms = {{0, 1.0}, {1, 1.0}};
    store->add_row(sum, -kInf, 5.0, "r0", nullptr);
    store->add_row(sum, 1.0, kInf, "r1", nullptr);
    engine.info.model_status = 7;
    engine.info.objective_value = 14.0;
    engine.info.best_bound = 13.5;
    engine.info.relative_gap = 0.04;
    engine.info.iterations = 12;
    engine.info.processed_nodes = 1234567890123;
    engine.info.solve_time = 0.75;
    engine.solution.values = {{"a", 1.0}, {"b", 2.0}, {"c", 3.0}};
    engine.solution.has_duals = true;
    engine.solution.duals = {{"r0", 10.0}, {"r1", 20.0}};
    engine.solution.has_reduced_costs = true;
    engine.solution.reduced_costs = {{"a", -1.0}, {"c", -3.0}};
  }

  std::unique_ptr<SolveResultLocal> solve(std::vector<std::int32_t> variable_map = {},
                                          std::vector<std::int32_t> row_map = {}) {
    return std::make_unique<SolveResultLocal>(store, engine.make_pipeline(), variable_map, row_map);
  }

  // `count` by reference: it is read after the call that fills it.
  static std::vector<double> array(const double* data, const std::uint64_t& count) {
    return data ? std::vector<double>(data, data + count) : std::vector<double>{};
  }

  std::shared_ptr<ModelBuilder> store = std::make_shared<ModelBuilder>();
  FakeEngine engine;
};

#define EXPECT_RESULT_ERROR(result, text)       \
  do {                                          \
    EXPECT_EQ((result).GetErrorCode(), -1);     \
    EXPECT_EQ((result).GetErrorText(), (text)); \
  } while (0)

TEST_F(SolveResultLocalTest, FiguresComeFromTheRunAndThePipelineIsDestroyed) {
  auto result = solve();
  EXPECT_EQ(engine.pipelines_alive, 0);
  EXPECT_EQ(result->GetSolveResult(), solve_result::success);
  EXPECT_EQ(result->GetSolutionStatus(), solution_status::optimal);
  EXPECT_EQ(result->GetRelativeGap(), 0.04);
  EXPECT_EQ(result->GetIterationsCount(), 12);
  EXPECT_EQ(result->GetProcessedNodesCount(), 1234567890123);
  EXPECT_EQ(result->GetObjectiveFunctionValue(), 14.0);
  EXPECT_EQ(result->GetBestBoundValue(), 13.5);
  EXPECT_EQ(result->GetSolveTime(), 0.75);
  EXPECT_EQ(result->GetErrorCode(), 0);

  engine.info.relative_gap = kInf;
  engine.info.best_bound = 14.0;
  EXPECT_EQ(solve()->GetRelativeGap(), 0.0) << "status 7, infinite gap, objective equals bound";
  engine.info.model_status = 12;
  engine.info.objective_value = -kInf;
  auto unbounded_value = solve();
  EXPECT_EQ(unbounded_value->GetSolutionStatus(), solution_status::invalid_solution);
  EXPECT_EQ(unbounded_value->GetSolveResult(), solve_result::fail);
}

TEST_F(SolveResultLocalTest, LookupsByName) {
  auto result = solve();
  EXPECT_EQ(result->GetVariableValueByName("b"), 2.0);
  EXPECT_EQ(result->GetDualValueByName("r1"), 20.0);
  EXPECT_EQ(result->GetReducedCostByName("c"), -3.0);
  EXPECT_EQ(result->GetReducedCostByName("b"), 0.0);
  EXPECT_EQ(result->GetVariableValueByName("no such"), 0.0);
  EXPECT_EQ(result->GetErrorCode(), 0) << "a name the solution does not hold is no error";

  EXPECT_EQ(result->GetVariableValueByName(nullptr), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(136, "null"));
  EXPECT_EQ(result->GetDualValueByName(nullptr), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(135, "null"));
  EXPECT_EQ(result->GetReducedCostByName(nullptr), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(136, "null"));
}

TEST_F(SolveResultLocalTest, MissingDualsAndReducedCosts) {
  engine.solution.duals.clear();
  auto only_reduced_costs = solve();
  EXPECT_EQ(only_reduced_costs->GetDualValueByName("unknown"), 0.0);
  EXPECT_EQ(only_reduced_costs->GetErrorCode(), 0);

  engine.solution.reduced_costs.clear();
  auto neither = solve();
  EXPECT_EQ(neither->GetDualValueByName("r0"), 0.0);
  EXPECT_RESULT_ERROR(*neither, catalogue_text(389));
  EXPECT_EQ(neither->GetReducedCostByName("a"), 0.0);
  EXPECT_RESULT_ERROR(*neither, catalogue_text(390));
  EXPECT_EQ(neither->GetVariableValueByName("a"), 1.0);
  EXPECT_EQ(neither->GetErrorCode(), 0);
}

TEST_F(SolveResultLocalTest, ImpreciseSolutionRefusesLookupsAndEmptiesArrays) {
  engine.info.model_status = 19;
  auto result = solve();
  EXPECT_EQ(result->GetSolveResult(), solve_result::fail);
  EXPECT_EQ(result->GetVariableValueByName("a"), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(518));
  EXPECT_EQ(result->GetDualValueByName("r0"), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(518));
  EXPECT_EQ(result->GetExpressionValueLinear(nullptr), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(518));
  test::ScratchDir dir;
  result->WriteSolution(dir.file("imprecise.sol").c_str());
  EXPECT_RESULT_ERROR(*result, catalogue_text(518));
  EXPECT_FALSE(std::filesystem::exists(dir.file("imprecise.sol")));
  std::uint64_t count = 99;
  EXPECT_EQ(result->GetValuesArray(&count), nullptr);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(result->GetErrorCode(), 0) << "an imprecise array is empty without an error";
}

TEST_F(SolveResultLocalTest, MemberHandles) {
  auto result = solve();
  VariableImpl c(store, 2);
  EXPECT_EQ(result->GetVariableValue(&c), 3.0);
  EXPECT_EQ(result->GetReducedCost(&c), -3.0);
  EXPECT_EQ(result->GetVariableValue(nullptr), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(136, "null"));
  EXPECT_EQ(result->GetDualValue(nullptr), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(135, "null"));

  store->remove_variable(2);
  EXPECT_EQ(result->GetVariableValue(&c), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(111, 2));  // the handle's failure is passed on
}

TEST_F(SolveResultLocalTest, ArraysWithoutRemovalsFollowStoreOrder) {
  auto result = solve();
  std::uint64_t count = 0;
  EXPECT_EQ(array(result->GetValuesArray(&count), count), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(array(result->GetDualValuesArray(&count), count), (std::vector<double>{10, 20}));
  EXPECT_EQ(array(result->GetReducedCostsArray(&count), count), (std::vector<double>{-1, 0, -3}));
  const double* values = result->GetValuesArray(nullptr);
  ASSERT_NE(values, nullptr) << "a null count pointer still gives the array";
  EXPECT_EQ(values[2], 3.0);

  store->add_variable(0.0, 1.0, 0.0, 0, "late", nullptr);
  EXPECT_EQ(result->GetValuesArray(&count), values) << "built once for the life of the result";
  EXPECT_EQ(count, 3u);
}

TEST_F(SolveResultLocalTest, ArraysAfterRemovalsPlaceEachMemberAtItsLivePosition) {
  // The run saw all three variables; removing "a" afterwards moves "c" to position 0.
  store->remove_variable(0);
  engine.solution.values.erase("a");
  engine.solution.reduced_costs.erase("a");
  auto result = solve({-1, 0, 1}, {});
  std::uint64_t count = 0;
  EXPECT_EQ(array(result->GetValuesArray(&count), count), (std::vector<double>{3, 2}));
  EXPECT_EQ(array(result->GetReducedCostsArray(&count), count), (std::vector<double>{-3, 0}));
  EXPECT_EQ(store->variable_at_position(0), 2);
}

TEST_F(SolveResultLocalTest, AnArrayWithANameTheStoreDoesNotKnowFails) {
  store->remove_row(0);
  auto result = solve({}, {-1, 0});
  std::uint64_t count = 7;
  EXPECT_EQ(result->GetDualValuesArray(&count), nullptr);
  EXPECT_EQ(count, 0u);
  EXPECT_RESULT_ERROR(*result, catalogue_text(135, "r0"));
  EXPECT_EQ(array(result->GetValuesArray(&count), count), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(result->GetErrorCode(), 0) << result->GetErrorText();
}

TEST_F(SolveResultLocalTest, NoArraysWithoutAnObjectiveValue) {
  engine.info.objective_value = std::nan("");
  auto result = solve();
  std::uint64_t count = 5;
  EXPECT_EQ(result->GetValuesArray(&count), nullptr);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(result->GetErrorCode(), 0);
}

TEST_F(SolveResultLocalTest, ASolutionSourceGivesItsSequencesWhenIndicesAreTheStores) {
  auto source = std::make_shared<SolutionSource>();
  source->column_names = {"a", "b", "c"};
  source->row_names = {"r0", "r1"};
  source->values = {7, 8, 9};
  source->reduced_costs = {0.5, 0.25, 0.125};
  engine.solution = SolutionData{};
  engine.solution.source = source;
  auto result = solve();
  std::uint64_t count = 0;
  EXPECT_EQ(result->GetValuesArray(&count), source->values.data());
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(result->GetVariableValueByName("c"), 9.0) << "look-ups use the source's maps";
  EXPECT_EQ(result->GetReducedCostByName("b"), 0.25);
  EXPECT_EQ(array(result->GetDualValuesArray(&count), count), (std::vector<double>{0, 0}))
      << "an empty duals sequence falls back to an array built from the (empty) map";

  source->values.clear();
  auto no_values = solve();
  count = 9;
  EXPECT_EQ(no_values->GetValuesArray(&count), nullptr);
  EXPECT_EQ(count, 0u);
}

TEST_F(SolveResultLocalTest, WriteSolutionWritesAReadableFile) {
  auto result = solve();
  test::ScratchDir dir;
  const std::string path = dir.file("solution.sol");
  result->WriteSolution(path.c_str());
  ASSERT_EQ(result->GetErrorCode(), 0) << result->GetErrorText();
  SolutionData back;
  ASSERT_TRUE(readSolutionFile(back, path));
  EXPECT_EQ(back.values.at("c"), 3.0);
  EXPECT_EQ(back.duals.at("r1"), 20.0);

  const std::string bad = dir.file("no_dir/solution.sol");
  result->WriteSolution(bad.c_str());
  EXPECT_RESULT_ERROR(*result, catalogue_text(392, bad.c_str()));
  result->WriteSolution(nullptr);
  EXPECT_RESULT_ERROR(*result, catalogue_text(392, "null"));
}

// A stand-in that is no expression object of the library.
class ForeignLinearExpression : public ILinearExpression {
 public:
  void Release() override {}
  int GetErrorCode() const override { return 0; }
  const char* GetErrorText() const override { return ""; }
  const char* GetName() override { return ""; }
  void SetName(const char*) override {}
  int GetTermsCount() override { return 0; }
  IVariable* GetTermVariable(int) override { return nullptr; }
  int GetTermVariableIndex(int) override { return 0; }
  double GetTermCoeff(int) override { return 0; }
  void SetTermCoeff(int, double) override {}
  double GetConstant() override { return 0; }
  void SetConstant(double) override {}
  void AddConstant(double) override {}
  void AddTerm(const IVariable*, double) override {}
  void AddExpression(const ILinearExpression*, double) override {}
  void RemoveTerm(int) override {}
  void RemoveVariable(const IVariable*) override {}
  IQuadExpression* GetQuadPart() override { return nullptr; }
  ILinearExpression* CreateFreeCopy() override { return nullptr; }
};

TEST_F(SolveResultLocalTest, ExpressionValues) {
  auto result = solve();
  VariableImpl a(store, 0), b(store, 1), c(store, 2);
  Owned<ILinearExpression> linear(CreateLinearExpression());
  linear->AddTerm(&a, 2.0);
  linear->AddTerm(&c, -1.0);
  linear->AddConstant(0.5);
  EXPECT_EQ(result->GetExpressionValueLinear(linear.get()), -0.5);  // 2 - 3 + 0.5
  EXPECT_EQ(result->GetErrorCode(), 0) << result->GetErrorText();

  Owned<IQuadExpression> quad(CreateQuadExpression());
  quad->AddTerm(&b, &c, 0.5);
  quad->AddTerm(&a, &a, 3.0);
  Owned<ILinearExpression> quad_linear(quad->GetLinearPart());
  quad_linear->AddTerm(&b, 1.0);
  EXPECT_EQ(result->GetExpressionValueQuad(quad.get()), 8.0);  // 3 + 3 + 2
  EXPECT_EQ(result->GetExpressionValueLinear(quad_linear.get()), 8.0) << "the linear face shows the same store";

  Owned<ILinearExpression> constant_only(CreateLinearExpression());
  constant_only->AddConstant(4.0);
  EXPECT_EQ(result->GetExpressionValueLinear(constant_only.get()), 4.0);

  // An expression over another store: its variables' names are looked up in the solution.
  auto other = std::make_shared<ModelBuilder>();
  other->add_variable(0.0, 1.0, 0.0, 0, "x_other", nullptr);
  other->add_variable(0.0, 1.0, 0.0, 0, "c", nullptr);
  VariableImpl x_other(other, 0), c_other(other, 1);
  Owned<ILinearExpression> foreign_store(CreateLinearExpression());
  foreign_store->AddTerm(&x_other, 5.0);
  foreign_store->AddTerm(&c_other, 1.0);
  EXPECT_EQ(result->GetExpressionValueLinear(foreign_store.get()), 3.0);

  store->remove_variable(2);
  EXPECT_EQ(result->GetExpressionValueLinear(linear.get()), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(116));
  EXPECT_EQ(result->GetExpressionValueQuad(quad.get()), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(116));

  ForeignLinearExpression foreign;
  EXPECT_EQ(result->GetExpressionValueLinear(&foreign), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(391));
  EXPECT_EQ(result->GetExpressionValueLinear(nullptr), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(391));
  EXPECT_EQ(result->GetExpressionValueQuad(nullptr), 0.0);
  EXPECT_RESULT_ERROR(*result, catalogue_text(391));
}

TEST_F(SolveResultLocalTest, EvaluateExpressionOverTheStore) {
  auto result = solve();
  Expression expression;
  expression.linear_terms = {{0, 2.0}, {2, -1.0}};     // 2a - c = -1
  expression.quadratic_terms = {{1, 2, 0.5}, {0, 0, 3.0}};  // 0.5 b c + 3 a^2 = 6
  expression.constant = 4.0;
  EXPECT_EQ(evaluate_expression(*result, expression, *store), 9.0);

  store->remove_variable(1);
  EXPECT_TRUE(velorium::testing::fails_with([&] { evaluate_expression(*result, expression, *store); }, 116));
  expression.quadratic_terms.clear();
  expression.linear_terms.push_back({17, 1.0});
  EXPECT_TRUE(velorium::testing::fails_with([&] { evaluate_expression(*result, expression, *store); }, 110, 17));
}

}  // namespace
}  // namespace velorium::cpp_impl
