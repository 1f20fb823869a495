// The matrix-form face of the model object.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "core/model/model_test_support.hpp"

namespace velorium::cpp_impl {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

using ModelMatrixTest = ModelFixture;

TEST_F(ModelMatrixTest, AddVariablesNormalisesTypes) {
  IMatrixModel* matrix = model;
  const double lower = 0.5, upper = 2.5;
  const std::int32_t types[] = {9, 3, -4};
  matrix->AddVariables(3, &lower, 1, &upper, 1, nullptr, 0, types, 3);
  expect_ok(model);
  ASSERT_EQ(model->GetVariablesCount(), 3);
  EXPECT_EQ(own(model->GetVariable(0))->GetType(), variable_type::continuous);
  EXPECT_EQ(own(model->GetVariable(1))->GetType(), variable_type::semicontinuous);
  EXPECT_EQ(own(model->GetVariable(2))->GetType(), variable_type::continuous);
  EXPECT_STREQ(own(model->GetVariable(2))->GetName(), "x#2");
}

TEST_F(ModelMatrixTest, FailuresAreStoredAndRowsReportMinusOne) {
  IMatrixModel* matrix = model;
  const double lower[] = {0.0, 5.0}, upper[] = {1.0, 1.0};
  const std::int32_t type = 0;
  matrix->AddVariables(2, lower, 2, upper, 2, nullptr, 0, &type, 1);
  expect_failure(model, 115, 1.0, 5.0);
  EXPECT_EQ(model->GetVariablesCount(), 0);

  matrix->AddVariables(2, lower, 1, upper, 1, nullptr, 0, &type, 1);
  expect_ok(model);
  const double values[] = {1.0, 1.0};
  const std::int32_t positions[] = {0, 2};
  EXPECT_EQ(matrix->AddConstraintLinearSparse(values, positions, 2, constraint_sense::less_equal, 1.0), -1);
  expect_failure(model, 110, 2);
  EXPECT_EQ(matrix->AddConstraintLinearSparse(values, positions, 1, constraint_sense::less_equal, 1.0), 0);
  expect_ok(model);
  const double q3[] = {1, 0, 0};
  EXPECT_EQ(matrix->AddConstraint(q3, 3, 1, nullptr, 0, constraint_sense::equal, 0.0), -1);
  expect_failure(model, 133);
  const double q4[] = {1, 0, 0, 1};
  EXPECT_EQ(matrix->AddConstraintSparse(q4, nullptr, nullptr, 2, 2, nullptr, 0, constraint_sense::equal, 0.0), -1);
  expect_failure(model, 154);
  EXPECT_EQ(model->GetConstraintsCount(), 1);
  EXPECT_FALSE(model->IsNonlinear());
  EXPECT_EQ(matrix->AddConstraint(q4, 2, 2, nullptr, 0, constraint_sense::greater_equal, 1.0), 1);
  EXPECT_TRUE(model->IsNonlinear());
  EXPECT_EQ(store().model->rows[1].upper, kInf);
}

TEST_F(ModelMatrixTest, ObjectiveFromArraysKeepsOffsetAndName) {
  IMatrixModel* matrix = model;
  const double zero = 0.0, ten = 10.0;
  const std::int32_t type = 0;
  matrix->AddVariables(2, &zero, 1, &ten, 1, nullptr, 0, &type, 1);
  model->SetObjectiveOffset(3.0);
  store().set_objective_name("cost");
  const double q[] = {2.0, 0.0, 0.0, 0.0};
  const double c[] = {0.0, 4.0};
  matrix->SetObjective(q, 2, 2, c, 2, objective_sense::maximize);
  expect_ok(model);
  EXPECT_EQ(model->GetObjectiveSense(), objective_sense::maximize);
  EXPECT_TRUE(model->IsNonlinear());
  const Expression& objective = store().model->objective;
  EXPECT_EQ(objective.constant, 3.0);
  ASSERT_EQ(objective.quadratic_terms.size(), 1u);
  EXPECT_EQ(objective.quadratic_terms[0].coefficient, 1.0);
  ASSERT_EQ(objective.linear_terms.size(), 1u);

  // A rejected call leaves the objective, its sense included, as it was.
  const double q9[9] = {};
  matrix->SetObjective(q9, 3, 3, nullptr, 0, objective_sense::minimize);
  expect_failure(model, 134);
  EXPECT_EQ(model->GetObjectiveSense(), objective_sense::maximize);
  EXPECT_EQ(objective.quadratic_terms.size(), 1u);
  EXPECT_EQ(objective.linear_terms.size(), 1u);

  const double values[] = {6.0};
  const std::int32_t columns[] = {1};
  const std::int32_t starts[] = {0, 0, 1};
  matrix->SetObjectiveSparse(values, columns, starts, 2, 2, nullptr, 0, objective_sense::minimize);
  expect_ok(model);
  ASSERT_EQ(objective.quadratic_terms.size(), 1u);
  EXPECT_EQ(objective.quadratic_terms[0].variable1, 1);
  EXPECT_EQ(objective.quadratic_terms[0].coefficient, 3.0);
  EXPECT_TRUE(objective.linear_terms.empty());
}

}  // namespace
}  // namespace velorium::cpp_impl
