#include "core/results/engine_status.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace velorium::cpp_impl {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(EngineStatus, SolutionStatusAndSolveResultTable) {
  using S = solution_status;
  struct Case {
    std::int32_t engine;
    double objective;
    S status;
  };
  const std::vector<Case> cases = {
      {0, 1.0, S::invalid_solution},  {5, 1.0, S::invalid_solution},  {6, 1.0, S::optimal},
      {7, 1.0, S::optimal},           {7, kInf, S::optimal},          {8, 1.0, S::infeasible},
      {9, 1.0, S::infeasible_or_unbounded}, {10, 1.0, S::unbounded},  {11, 1.0, S::feasible},
      {12, -kInf, S::invalid_solution}, {13, kInf, S::invalid_solution}, {14, kNaN, S::feasible},
      {16, -3.0, S::feasible},        {17, 1.0, S::invalid_solution}, {18, 1.0, S::invalid_solution},
      {19, 1.0, S::imprecise},        {20, 1.0, S::invalid_solution}, {-1, 1.0, S::invalid_solution},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "engine status " << c.engine << ", objective " << c.objective);
    const S status = solution_status_from_engine(c.engine, c.objective);
    EXPECT_EQ(status, c.status);
    const bool fails = c.status == S::invalid_solution || c.status == S::imprecise;
    EXPECT_EQ(solve_result_from_status(status), fails ? solve_result::fail : solve_result::success);
  }
}

TEST(EngineStatus, RelativeGapCorrections) {
  struct Case {
    const char* what;
    std::int32_t status;
    double gap, objective, bound;
    double expected;
  };
  const std::vector<Case> cases = {
      {"status 6 always 0", 6, 0.25, 1.0, 2.0, 0.0},
      {"status 6 infinite gap", 6, kInf, kInf, 2.0, 0.0},
      {"status 7 infinite gap, objective equals bound", 7, kInf, 3.0, 3.0, 0.0},
      {"status 7 infinite gap, objective differs", 7, kInf, 3.0, 2.0, kInf},
      {"status 7 infinite gap, objective infinite", 7, kInf, kInf, kInf, kInf},
      {"status 7 finite gap stays", 7, 0.5, 3.0, 3.0, 0.5},
      {"other status keeps infinite gap", 11, kInf, 3.0, 3.0, kInf},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SolveInfo info;
    info.model_status = c.status;
    info.relative_gap = c.gap;
    info.objective_value = c.objective;
    info.best_bound = c.bound;
    EXPECT_EQ(corrected_relative_gap(info), c.expected);
  }
}

TEST(EngineStatus, IisModelStatus) {
  EXPECT_EQ(iis_model_status(8), 2);
  EXPECT_EQ(iis_model_status(18), 1);
  for (std::int32_t other : {0, 6, 7, 9, 17, 19}) EXPECT_EQ(iis_model_status(other), 0) << other;
}

}  // namespace
}  // namespace velorium::cpp_impl
