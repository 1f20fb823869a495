// The report of a result, for every outcome.
#include <gtest/gtest.h>

#include <cmath>

#include "python/text/object_text.hpp"
#include "tests/python/fake_library_objects.hpp"

namespace velorium::testing {
namespace {

std::string report(FakeSolveResult& result) { return solve_result_repr(adopt<SolveResult>(&result)); }

TEST(SolveResultText, ASuccessfulSolveReportsItsFigures) {
  FakeSolveResult result;
  result.gap = 0.0001;
  result.objective = 1234.5;
  result.bound = -2.5;
  EXPECT_EQ(report(result), "Solve is successful.\nGap: 0.01 %.\nSolution is optimal\nObjective value: 1.23e+03\nBest bound: -2.5");
  result.status = solution_status::infeasible_or_unbounded;
  result.gap = 0.0;
  result.objective = 0.0;
  result.bound = -kVeloriumInf;
  EXPECT_EQ(report(result), "Solve is successful.\nGap: 0 %.\nSolution is infeasible or unbounded\nObjective value: 0\nBest bound: -inf");
  // The matrix model's result reads the same.
  EXPECT_EQ(solve_result_repr(adopt<MatrixSolveResult>(&result)), report(result));
}

TEST(SolveResultText, StatusNames) {
  const char* const names[] = {"invalid", "optimal", "feasible", "infeasible", "unbounded", "infeasible or unbounded",
                               "imprecise", "unknown", "unknown"};
  for (int status = 0; status < 9; ++status) {
    EXPECT_EQ(solution_status_text(static_cast<solution_status>(status)), names[status]);
  }
  EXPECT_EQ(solution_status_text(static_cast<solution_status>(-1)), "unknown");
}

TEST(SolveResultText, AFailureReportsItsReasonOnly) {
  const char* const reasons[] = {"",
                                 "Local solver fail",
                                 "Invalid X_API_KEY",
                                 "X_API_KEY not set",
                                 "Time for remote solve is over for this X_API_KEY",
                                 "Time for single remote solve is violated",
                                 "Remote solver fail",
                                 ""};
  FakeSolveResult result;
  result.gap = NAN;
  for (int outcome = 1; outcome <= 7; ++outcome) {
    result.outcome = static_cast<solve_result>(outcome);
    EXPECT_EQ(report(result), std::string("Solve is not successful. Reason: ") + reasons[outcome]);
  }
}

// A print or a debugger must always show a result: one that cannot tell its outcome shows why,
// and a `fail` that comes with its own text (a remote calculation cancelled or ended without
// a solution) shows that text instead of the local solver's reason.
TEST(SolveResultText, AResultThatCannotTellItsOutcomeReportsWhyAndNeverThrows) {
  FakeSolveResult result;
  result.error_code = -1;
  result.error_text = "статус неизвестен";
  EXPECT_EQ(report(result), "Solve is not successful. Reason: статус неизвестен");
  result.error_code = 0;
  result.error_text = "Вычисления отменены по запросу вызывающей программы.";
  result.outcome = solve_result::fail;
  EXPECT_EQ(report(result), "Solve is not successful. Reason: Вычисления отменены по запросу вызывающей программы.");
  result.outcome = solve_result::remote_fail;  // a code with a reason of its own keeps it
  EXPECT_EQ(report(result), "Solve is not successful. Reason: Remote solver fail");
  // A value that holds no result at all.
  EXPECT_TRUE(solve_result_repr(SolveResult()).starts_with("Solve is not successful. Reason: "));
}

TEST(MatrixSolveResultArrays, TheResultsArraysOrNoneWhenItHoldsNone) {
  FakeSolveResult result;
  result.values = {1.0, 2.5};
  result.duals = {-3.0};
  const MatrixSolveResult matrix_result = adopt<MatrixSolveResult>(&result);
  const ResultArray values = matrix_result.get_solution_vector();
  EXPECT_EQ(values.values, result.values.data());
  EXPECT_EQ(values.count, 2u);
  EXPECT_EQ(matrix_result.get_dual_values_vector().count, 1u);
  const ResultArray none = matrix_result.get_reduced_costs_vector();
  EXPECT_EQ(none.values, nullptr);
  EXPECT_EQ(none.count, 0u);
  // A failure that the result reports is raised, not taken for an array.
  result.error_code = -1;
  result.error_text = "нет массива";
  EXPECT_THROW(matrix_result.get_solution_vector(), velorium_exception);
}

}  // namespace
}  // namespace velorium::testing
