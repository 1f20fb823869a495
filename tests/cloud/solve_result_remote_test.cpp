// The remote result object over a calculation record made by hand.
#include "cloud/solve_result_remote.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "cloud/client_log.hpp"
#include "core/model/model_impl.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "formats/solution/solution_reader.hpp"
#include "support/owned.hpp"
#include "support/scoped_env.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::cpp_impl {
namespace {

using nimbrova::RemoteCalculationResult;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A model with variables x, y and a row c1; what the service answered for it.
class SolveResultRemoteTest : public ::testing::Test {
 protected:
  SolveResultRemoteTest() {
    model_.reset(static_cast<ModelImpl*>(CreateModel()));
    test::Owned<IVariable> x(model_->AddVariable(0, 10, 1, variable_type::continuous, "x"));
    test::Owned<IVariable> y(model_->AddVariable(0, 10, 1, variable_type::continuous, "y"));
    test::Owned<ILinearExpression> row(CreateLinearExpression());
    row->AddTerm(x.get(), 1);
    row->AddTerm(y.get(), 1);
    test::Owned<IConstraint> c1(model_->AddConstraintLinear1(row.get(), constraint_sense::less_equal, 4, "c1"));
  }
  // The record of a finished LP: x = 3, y = 1, duals and reduced costs, every statistic.
  static RemoteCalculationResult finished(const char* status_word = "optimal", const char* outcome = "done") {
    RemoteCalculationResult record;
    record.outcome_text = outcome;
    record.solution_status_word = status_word;
    record.solution.values = {{"x", 3.0}, {"y", 1.0}};
    record.solution.duals = {{"c1", -2.0}};
    record.solution.reduced_costs = {{"x", 0.5}, {"y", 0.0}};
    record.statistics = {{"relative_gap", 0.0}, {"objective", 7.0}, {"best_bound", 7.0},
                         {"processed_nodes", 0.0}, {"iterations", 4.0}, {"solve_time", 0.25}};
    return record;
  }
  std::unique_ptr<SolveResultRemote> result_of(RemoteCalculationResult record, const NameMap& names = {}) {
    return std::make_unique<SolveResultRemote>(model_->store(), std::move(record), names);
  }
  test::Owned<ModelImpl> model_;
};

TEST_F(SolveResultRemoteTest, OutcomesAndStatusWordsBecomeCodes) {
  struct Case {
    const char* outcome;
    const char* word;
    solve_result result;
    solution_status status;
    int error;         // of GetSolveResult
    std::string text;  // the text GetSolveResult leaves: "" for none
  };
  const std::string no_result = std::string(get_message(170)).substr(1) + "the remote calculation gave no result: ";
  const Case cases[] = {
      {"done", "optimal", solve_result::success, solution_status::optimal, 0, ""},
      {"done", "feasible", solve_result::success, solution_status::feasible, 0, ""},
      {"done", "infeasible_or_unbounded", solve_result::success, solution_status::infeasible_or_unbounded, 0, ""},
      {"done", "imprecise", solve_result::fail, solution_status::imprecise, 0, ""},
      // As a local result: ended without a solution is no success.
      {"done", "invalid_solution", solve_result::fail, solution_status::invalid_solution, 0,
       "Вычисления завершены без решения (статус решения invalid_solution)."},
      {"done", "something else", solve_result::fail, solution_status::invalid_solution, 0,
       "Вычисления завершены без решения (статус решения invalid_solution)."},
      {"invalid_api_key", "", solve_result::remote_invalid_api_key, solution_status::invalid_solution, 0, ""},
      {"api_key_not_set", "", solve_result::remote_api_key_not_set, solution_status::invalid_solution, 0, ""},
      {"error: TIME_AMOUNT_IS_OVER", "", solve_result::remote_time_amount_is_over, solution_status::invalid_solution,
       0, ""},
      {"error: TIME_PER_CALC_VIOLATED", "", solve_result::remote_time_per_calc_violated,
       solution_status::invalid_solution, 0, ""},
      {"error: SOLVER_POD_FAILED", "", solve_result::remote_fail, solution_status::invalid_solution, 0, ""},
      {"error: CALCULATION_FAILED", "", solve_result::remote_fail, solution_status::invalid_solution, 0, ""},
      // Cancelled at the caller's request: a text to read, no failure of the query.
      {"error: CANCELLED", "", solve_result::fail, solution_status::invalid_solution, 0,
       "Вычисления отменены по запросу вызывающей программы."},
      {"error: MODEL_FILE_INVALID", "", solve_result::fail, solution_status::invalid_solution, -1,
       no_result + "outcome [error: MODEL_FILE_INVALID]"},
      {"queued", "", solve_result::fail, solution_status::invalid_solution, -1, no_result + "outcome [queued]"},
      {"", "", solve_result::fail, solution_status::invalid_solution, -1, no_result + "outcome []"},
  };
  for (const Case& c : cases) {
    auto result = result_of(finished(c.word, c.outcome));
    EXPECT_EQ(result->GetSolveResult(), c.result) << c.outcome;
    EXPECT_EQ(result->GetErrorCode(), c.error) << c.outcome;
    EXPECT_EQ(result->GetErrorText(), c.text) << c.outcome;
    EXPECT_EQ(result->GetSolutionStatus(), c.status) << c.word;
  }
}

TEST_F(SolveResultRemoteTest, WhatTheClientLoggedForAFailureIsTheText) {
  RemoteCalculationResult record;
  record.failure_text = "Ошибка: Http result : 404";
  auto result = result_of(record);
  EXPECT_EQ(result->GetSolveResult(), solve_result::fail);
  EXPECT_EQ(result->GetErrorCode(), -1);
  EXPECT_STREQ(result->GetErrorText(), "Ошибка: Http result : 404");
}

// Wherever a result holds no solution, no value query gives a number: each says why.
TEST_F(SolveResultRemoteTest, AResultWithoutASolutionRefusesValuesAndArrays) {
  struct Case {
    const char* outcome;
    const char* word;
    const char* failure;
    const char* why;
  };
  const Case cases[] = {
      {"done", "infeasible", "", "вычисления завершены со статусом решения infeasible"},
      {"done", "unbounded", "", "вычисления завершены со статусом решения unbounded"},
      {"done", "infeasible_or_unbounded", "", "статусом решения infeasible_or_unbounded"},
      {"done", "invalid_solution", "", "статусом решения invalid_solution"},
      {"done", "", "", "статусом решения invalid_solution"},
      {"error: CANCELLED", "", "", "Вычисления отменены по запросу вызывающей программы."},
      {"error: TIME_PER_CALC_VIOLATED", "", "", "вычисления завершены с исходом error: TIME_PER_CALC_VIOLATED"},
      {"", "", "Ошибка: Http result : 404", "Ошибка: Http result : 404"},
      {"", "", "", "the remote calculation gave no result: outcome []"},
  };
  test::Owned<IVariable> x(model_->GetVariableByName("x"));
  test::Owned<IConstraint> c1(model_->GetConstraintByName("c1"));
  test::Owned<ILinearExpression> objective(model_->GetObjective());
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.outcome) + " " + c.word);
    RemoteCalculationResult record = finished(c.word, c.outcome);  // every value a solution has
    record.failure_text = c.failure;
    auto result = result_of(record);
    const auto expect_refused = [&](double value) {
      EXPECT_EQ(value, 0.0);
      EXPECT_EQ(result->GetErrorCode(), -1);
      const std::string text = result->GetErrorText();
      EXPECT_TRUE(text.starts_with("Результат не содержит решения: ")) << text;
      EXPECT_NE(text.find(c.why), std::string::npos) << text;
    };
    expect_refused(result->GetVariableValueByName("x"));
    expect_refused(result->GetVariableValue(x.get()));
    expect_refused(result->GetDualValue(c1.get()));
    expect_refused(result->GetReducedCostByName("x"));
    expect_refused(result->GetExpressionValueLinear(objective.get()));
    for (const auto array : {&ISolveResultEx::GetValuesArray, &ISolveResultEx::GetDualValuesArray,
                             &ISolveResultEx::GetReducedCostsArray}) {
      std::uint64_t count = 7;
      EXPECT_EQ(((*result).*array)(&count), nullptr);
      EXPECT_EQ(count, 0u);
      expect_refused(0.0);
    }
  }
}

// A result that holds a solution holds every column of its model: a name it lacks is a
// misspelt one or another model's, and fails rather than reading 0.
TEST_F(SolveResultRemoteTest, ANameTheResultDoesNotHoldFails) {
  auto result = result_of(finished());
  test::Owned<IModel> other(CreateModel());
  test::Owned<IVariable> stranger(other->AddVariable(0, 1, 0, variable_type::continuous, "z"));
  test::Owned<ILinearExpression> foreign(CreateLinearExpression());
  foreign->AddTerm(stranger.get(), 2.0);
  const struct {
    const char* title;
    std::function<double()> query;
    std::string text;
  } cases[] = {
      {"misspelt", [&] { return result->GetVariableValueByName("X"); }, formatString(get_message(136), "X")},
      {"null", [&] { return result->GetVariableValueByName(nullptr); }, formatString(get_message(136), "null")},
      {"another model's variable", [&] { return result->GetVariableValue(stranger.get()); },
       formatString(get_message(136), "z")},
      {"its reduced cost", [&] { return result->GetReducedCost(stranger.get()); }, formatString(get_message(136), "z")},
      {"a row's dual value", [&] { return result->GetDualValueByName("c2"); }, formatString(get_message(135), "c2")},
      {"an expression of another model", [&] { return result->GetExpressionValueLinear(foreign.get()); },
       formatString(get_message(136), "z")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.query(), 0.0) << c.title;
    EXPECT_EQ(result->GetErrorCode(), -1) << c.title;
    EXPECT_EQ(result->GetErrorText(), c.text) << c.title;
  }
  EXPECT_EQ(result->GetVariableValueByName("y"), 1.0);  // and the names it holds still read
  EXPECT_EQ(result->GetErrorCode(), 0);
}

// A solution without a column of the model is no result: it was cut short or the service
// dropped the column. In the file's order or not, through a name map or not.
TEST_F(SolveResultRemoteTest, ASolutionThatLacksAColumnOfTheModelIsAFailedResult) {
  std::string logged;
  nimbrova::set_client_log_tap_for_testing([&](std::string_view text) { logged += text; });
  const struct {
    const char* title;
    std::string text;  // empty: the maps of finished() without y
    NameMap names;
  } cases[] = {
      {"maps", "", {}},
      {"in the file's order", "# Columns  1\nx 3\n", {}},
      {"another order", "# Columns  2\nstray 1\nx 3\n", {}},
      {"renamed", "# Columns  2\nC0 3\nC2 1\n", {{"C0", "x"}, {"C1", "y"}}},
  };
  for (const auto& c : cases) {
    logged.clear();
    RemoteCalculationResult record = finished();
    if (c.text.empty()) {
      record.solution.values.erase("y");
    } else {
      ASSERT_TRUE(readSolutionTextInOrder(record.solution, c.text.data(), c.text.size()));
    }
    auto result = result_of(record, c.names);
    const std::string reason = "the calculation's result text holds no value for the column [y] of the uploaded model";
    EXPECT_EQ(result->GetSolveResult(), solve_result::fail) << c.title;
    EXPECT_EQ(result->GetErrorCode(), -1) << c.title;
    EXPECT_EQ(result->GetErrorText(), std::string(get_message(170)).substr(1) + reason) << c.title;
    EXPECT_EQ(logged, get_message(170) + reason + "\n") << c.title;
    EXPECT_TRUE(std::isnan(result->GetObjectiveFunctionValue())) << c.title;
    EXPECT_EQ(result->GetVariableValueByName("x"), 0.0) << c.title;
    EXPECT_EQ(result->GetErrorCode(), -1) << c.title;
  }
  nimbrova::set_client_log_tap_for_testing(nullptr);
}

TEST_F(SolveResultRemoteTest, FiguresValuesAndArraysOfAFinishedCalculation) {
  auto result = result_of(finished());
  EXPECT_EQ(result->GetObjectiveFunctionValue(), 7.0);
  EXPECT_EQ(result->GetIterationsCount(), 4);
  EXPECT_EQ(result->GetSolveTime(), 0.25);
  EXPECT_EQ(result->GetVariableValueByName("x"), 3.0);
  EXPECT_EQ(result->GetErrorCode(), 0);
  EXPECT_EQ(result->GetDualValueByName("c1"), -2.0);
  EXPECT_EQ(result->GetReducedCostByName("x"), 0.5);
  test::Owned<IVariable> y(model_->GetVariableByName("y"));
  EXPECT_EQ(result->GetVariableValue(y.get()), 1.0);
  std::uint64_t count = 99;
  const double* values = result->GetValuesArray(&count);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(values[0], 3.0);
  EXPECT_EQ(values[1], 1.0);
  EXPECT_EQ(result->GetValuesArray(nullptr), values);  // built once
  const double* duals = result->GetDualValuesArray(&count);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(duals[0], -2.0);
}

TEST_F(SolveResultRemoteTest, CountsFromMissingOrUnusableStatisticsAreZero) {
  struct Case {
    double value;
    std::int32_t iterations;
    std::int64_t nodes;
  };
  const Case cases[] = {{kNaN, 0, 0},
                        {std::numeric_limits<double>::infinity(), 0, 0},
                        {12.9, 12, 12},
                        {-3.5, -3, -3},
                        {5e9, 0, 5000000000},  // nodes are not cut to 32 bits
                        {1e19, 0, 0},
                        {-2147483648.0, -2147483647 - 1, -2147483648}};
  for (const Case& c : cases) {
    RemoteCalculationResult record = finished();
    record.statistics["iterations"] = c.value;
    record.statistics["processed_nodes"] = c.value;
    auto result = result_of(record);
    EXPECT_EQ(result->GetIterationsCount(), c.iterations) << c.value;
    EXPECT_EQ(result->GetProcessedNodesCount(), c.nodes) << c.value;
  }
  RemoteCalculationResult missing = finished();
  missing.statistics.clear();
  auto result = result_of(missing);
  EXPECT_EQ(result->GetIterationsCount(), 0);
  EXPECT_EQ(result->GetProcessedNodesCount(), 0);
  EXPECT_TRUE(std::isnan(result->GetRelativeGap()));
  EXPECT_TRUE(std::isnan(result->GetBestBoundValue()));
  EXPECT_EQ(result->GetValuesArray(nullptr), nullptr);  // no objective: no arrays
}

TEST_F(SolveResultRemoteTest, AnImpreciseSolutionRefusesValuesAndArrays) {
  auto result = result_of(finished("imprecise"));
  EXPECT_EQ(result->GetSolveResult(), solve_result::fail);
  EXPECT_EQ(result->GetVariableValueByName("x"), 0.0);
  EXPECT_STREQ(result->GetErrorText(), get_message(518));
  test::Owned<IVariable> x(model_->GetVariableByName("x"));
  EXPECT_EQ(result->GetVariableValue(x.get()), 0.0);
  EXPECT_EQ(result->GetErrorCode(), -1);
  test::ScratchDir dir;
  result->WriteSolution(dir.file("s.sol").c_str());
  EXPECT_STREQ(result->GetErrorText(), get_message(518));
  std::uint64_t count = 7;
  EXPECT_EQ(result->GetValuesArray(&count), nullptr);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(result->GetReducedCostsArray(&count), nullptr);
}

TEST_F(SolveResultRemoteTest, DualValuesOrReducedCostsThatTheResultLacksAreRefusedNeverZero) {
  const struct {
    bool duals, reduced_costs;  // which of the two the result holds
  } cases[] = {{false, false}, {true, false}, {false, true}};
  for (const bool in_file_order : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::to_string(in_file_order) + std::to_string(c.duals) + " " + std::to_string(c.reduced_costs));
      RemoteCalculationResult record = finished();
      if (!c.duals) record.solution.duals.clear();
      if (!c.reduced_costs) record.solution.reduced_costs.clear();
      if (in_file_order) {  // as a calculation's result text is read
        const std::string text = std::string(c.duals ? "# Dual Solution\nc1 -2\n" : "") +
                                 (c.reduced_costs ? "# Reduced Costs\nx 0.5\ny 0\n" : "") + "# Columns  2\nx 3\ny 1\n";
        ASSERT_TRUE(readSolutionTextInOrder(record.solution, text.data(), text.size()));
      }
      auto result = result_of(record);
      std::uint64_t count = 7;
      EXPECT_EQ(result->GetDualValueByName("c1"), c.duals ? -2.0 : 0.0);
      EXPECT_STREQ(result->GetErrorText(), c.duals ? "" : get_message(389));
      EXPECT_EQ(result->GetDualValuesArray(&count) != nullptr, c.duals);
      EXPECT_EQ(count, c.duals ? 1u : 0u);
      EXPECT_EQ(result->GetReducedCostByName("x"), c.reduced_costs ? 0.5 : 0.0);
      EXPECT_STREQ(result->GetErrorText(), c.reduced_costs ? "" : get_message(390));
      EXPECT_EQ(result->GetReducedCostsArray(&count) != nullptr, c.reduced_costs);
      EXPECT_EQ(count, c.reduced_costs ? 2u : 0u);
      EXPECT_EQ(result->GetVariableValueByName("x"), 3.0);
      EXPECT_NE(result->GetValuesArray(&count), nullptr);
    }
  }
}

TEST_F(SolveResultRemoteTest, WrittenNamesComeBackAsTheModelsOwnAndUnknownOnesAreKept) {
  RemoteCalculationResult record = finished();
  record.solution.values = {{"x0", 3.0}, {"x1", 1.0}, {"stray", 9.0}};
  record.solution.duals = {{"c0", -2.0}, {"row_the_model_lacks", 5.0}};
  record.solution.reduced_costs = {{"x0", 0.5}};
  auto result = result_of(record, {{"x0", "x"}, {"x1", "y"}, {"c0", "c1"}});
  EXPECT_EQ(result->GetVariableValueByName("x"), 3.0);
  EXPECT_EQ(result->GetVariableValueByName("x0"), 0.0);  // a written name is not the model's
  EXPECT_STREQ(result->GetErrorText(), formatString(get_message(136), "x0").c_str());
  EXPECT_EQ(result->GetVariableValueByName("stray"), 9.0);
  EXPECT_EQ(result->GetDualValueByName("c1"), -2.0);
  EXPECT_EQ(result->GetReducedCostByName("x"), 0.5);
  std::uint64_t count = 0;
  const double* duals = result->GetDualValuesArray(&count);  // the unknown row is skipped
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(duals[0], -2.0);
  test::ScratchDir dir;
  result->WriteSolution(dir.file("out.sol").c_str());
  const std::string written = test::readFileBytes(dir.file("out.sol"));
  EXPECT_NE(written.find("\nx 3\n"), std::string::npos) << written;
}

TEST_F(SolveResultRemoteTest, AResultReadInOrderFindsEveryMemberWhateverTheOrderAndRemovals) {
  test::Owned<IVariable> z(model_->AddVariable(0, 10, 1, variable_type::continuous, "z"));
  test::Owned<IVariable> y(model_->GetVariableByName("y"));
  model_->RemoveVar(y.get());  // live in the store's order: x, z
  const std::string texts[] = {
      "# Columns  4\nx 3\nz 5\nstray 9\nx 7\n",  // the file's order, a stranger, a repeat
      "# Columns  2\nz 5\nx 3\n",                 // another order
  };
  for (const std::string& text : texts) {
    RemoteCalculationResult record = finished();
    ASSERT_TRUE(readSolutionTextInOrder(record.solution, text.data(), text.size()));
    ASSERT_NE(record.solution.source, nullptr);
    auto result = result_of(record, {{"x", "x"}});
    std::uint64_t count = 0;
    const double* values = result->GetValuesArray(&count);
    ASSERT_EQ(count, 2u) << text;
    EXPECT_EQ(values[0], 3.0) << text;
    EXPECT_EQ(values[1], 5.0) << text;
    EXPECT_EQ(result->GetVariableValueByName("z"), 5.0);
    EXPECT_EQ(result->GetVariableValueByName("x"), 3.0);  // the first of a repeated name
  }
}

TEST_F(SolveResultRemoteTest, NamesReadInOrderAreRenamedBeforeTheyAreLookedUp) {
  const std::string text = "# Dual Solution\nc0 -2\n# Columns  2\nx0 3\nx1 1\n";
  RemoteCalculationResult record = finished();
  ASSERT_TRUE(readSolutionTextInOrder(record.solution, text.data(), text.size()));
  auto result = result_of(record, {{"x0", "x"}, {"x1", "y"}, {"c0", "c1"}});
  EXPECT_EQ(result->GetVariableValueByName("y"), 1.0);
  EXPECT_EQ(result->GetDualValueByName("c1"), -2.0);
  std::uint64_t count = 0;
  const double* values = result->GetValuesArray(&count);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(values[0], 3.0);
}

TEST_F(SolveResultRemoteTest, WritingToAMissingFolderNamesThePath) {
  auto result = result_of(finished());
  test::ScratchDir dir;
  const std::string path = dir.file("missing/out.sol");
  result->WriteSolution(path.c_str());
  EXPECT_EQ(result->GetErrorCode(), -1);
  EXPECT_NE(std::string(result->GetErrorText()).find(path), std::string::npos);
}

// Nothing is sent for a fetch that cannot succeed: an identifier that is not one, or a name
// map that cannot be read. Were anything sent, the failure would be the closed port's.
TEST(CreateSolveResult, AnInvalidIdentifierOrAnUnreadableNameMapFailsBeforeAnythingIsSent) {
  test::ScopedEnv address("NIMBROVA_TEST_SERVER_ADDRESS", "https://127.0.0.1:1/api/v1/calculations/");
  test::ScopedEnv key("X_API_KEY", "key");
  nimbrova::reset_client_log_for_testing();
  test::ScratchDir dir;
  const std::string injection = "X/status HTTP/1.1\r\nHost: h\r\n\r\nPATCH /api/v1/calculations/VICTIM HTTP/1.1\r\nX-Pad: ";
  for (const std::string& uid : {injection, std::string(".."), std::string("."), std::string("../../etc"),
                                 std::string("a b"), std::string("a/b"), std::string("é")}) {
    test::Owned<ISolveResult> result(CreateSolveResult(uid.c_str(), ""));
    EXPECT_EQ(result->GetSolveResult(), solve_result::fail) << uid;
    EXPECT_EQ(result->GetErrorCode(), -1) << uid;
    const std::string text = result->GetErrorText();
    EXPECT_TRUE(text.starts_with(std::string(get_message(170)).substr(1) + "the calculation identifier [")) << text;
    EXPECT_NE(text.find("] is not valid: "), std::string::npos) << text;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  }
  const struct {
    std::string path;
    const char* reason;
  } maps[] = {{dir.file("missing.map"), "No such file or directory"}, {dir.path().string(), "Is a directory"}};
  for (const auto& map : maps) {
    test::Owned<ISolveResult> result(CreateSolveResult("calc-1", map.path.c_str()));
    EXPECT_EQ(result->GetSolveResult(), solve_result::fail);
    EXPECT_EQ(result->GetErrorText(), formatString(get_message(117), map.path.c_str()) + ": " + map.reason);
    EXPECT_EQ(result->GetVariableValueByName("x"), 0.0);
    EXPECT_EQ(result->GetErrorCode(), -1);
  }
}

TEST(CreateSolveResult, AnEmptyOrNullIdentifierGivesAnEmptyResultWithoutContactingTheService) {
  for (const char* uid : {"", static_cast<const char*>(nullptr)}) {
    test::Owned<ISolveResult> result(CreateSolveResult(uid, nullptr));
    ASSERT_NE(result.get(), nullptr);
    EXPECT_EQ(result->GetSolveResult(), solve_result::fail);
    EXPECT_EQ(result->GetErrorCode(), -1);
    EXPECT_TRUE(std::isnan(result->GetObjectiveFunctionValue()));
    std::uint64_t count = 5;
    auto* arrays = dynamic_cast<ISolveResultEx*>(result.get());
    ASSERT_NE(arrays, nullptr);
    EXPECT_EQ(arrays->GetValuesArray(&count), nullptr);
    EXPECT_EQ(count, 0u);
  }
}

}  // namespace
}  // namespace velorium::cpp_impl
