// The value classes over the library's objects: one shared library object per set of copies,
// released once, and the error check after every call.
#include <gtest/gtest.h>

#include "core/text/message_catalogue.hpp"
#include "python/wrappers/model.hpp"
#include "python/wrappers/solve_result.hpp"
#include "support/recording_objects.hpp"
#include "tests/python/failure_text.hpp"
#include "tests/python/fake_library_objects.hpp"
#include "tests/python/model_fixture.hpp"

namespace velorium::testing {
namespace {

TEST(WrapperValues, CopiesShareOneObjectReleasedOnceWhenTheLastGoes) {
  FakeVariable object;
  {
    Variable first = adopt<Variable>(&object);
    {
      Variable second = first;
      const Variable third = second;  // a copy of a copy joins the same holders
      second.set_name("renamed");
      EXPECT_STREQ(first.get_name(), "renamed");
      EXPECT_STREQ(third.get_name(), "renamed");
    }
    EXPECT_EQ(object.releases, 0);
  }
  EXPECT_EQ(object.releases, 1);
}

TEST(WrapperValues, MovesAndAssignmentsReleaseEveryObjectOnce) {
  FakeVariable a;
  FakeVariable b;
  {
    Variable sole = adopt<Variable>(&a);
    const Variable moved = std::move(sole);
    EXPECT_EQ(moved.raw_interface(), &a);
    EXPECT_EQ(sole.raw_interface(), nullptr);
    Variable other = adopt<Variable>(&b);
    Variable copy = other;
    other = moved;  // b keeps its other holder
    EXPECT_EQ(b.releases, 0);
    Variable& alias = other;
    other = alias;
    copy = Variable();
    EXPECT_EQ(b.releases, 1);
    const Variable empty;
    const Variable copy_of_empty = empty;
    EXPECT_EQ(copy_of_empty.raw_interface(), nullptr);
  }
  EXPECT_EQ(a.releases, 1);
  EXPECT_EQ(b.releases, 1);
}

TEST(WrapperValues, ErrorCheckCarriesTheObjectsCodeAndText) {
  FakeVariable object;
  Variable variable = adopt<Variable>(&object);
  object.error_code = -7;
  object.error_text = "Переменная удалена";
  EXPECT_EQ(failure_of([&] { variable.get_lower_bound(); }), "-7 Переменная удалена");
  EXPECT_EQ(failure_of([&] { adopt_checked<Variable>(nullptr); }), std::string("-1 ") + get_message(459));
  EXPECT_EQ(failure_of([&] { Variable().get_type(); }), std::string("-1 ") + get_message(459));
}

using ModelValues = ModelFixture;

TEST_F(ModelValues, AFailedCallRaisesTheLibrarysTextAndLeavesTheValueUsable) {
  EXPECT_EQ(failure_of([&] { model.get_variable("nope"); }), "-1 Переменная с именем [nope] отсутствует");
  EXPECT_EQ(failure_of([&] { model.get_int_param("nope"); }), "-1 Ошибка получения параметра [nope]");
  EXPECT_EQ(failure_of([&] { model.set_int_param("remote_timeout", 5); }),
            "-1 Ошибка изменения параметра [remote_timeout]");
  EXPECT_EQ(model.get_variables_count(), 3);
  // A remote solve whose temporary folder does not exist fails before anything is sent.
  model.set_string_param("temp_folder_path", "/nonexistent/velorium");
  EXPECT_EQ(failure_of([&] { model.solve_remote_async(""); }).substr(0, 3), "-1 ");
}

TEST_F(ModelValues, EachGetterCallGivesItsOwnObjectForTheSameMember) {
  Variable first = model.get_variable(0);
  Variable second = model.get_variable("x");
  EXPECT_NE(first.get_interface(), second.get_interface());
  second.set_upper_bound(4.0);
  EXPECT_EQ(first.get_upper_bound(), 4.0);
}

TEST_F(ModelValues, NamesAndTextsWithoutAValueAreEmpty) {
  EXPECT_STREQ(Model().get_name(), "");
  EXPECT_STREQ(Model("plant").get_name(), "plant");
  EXPECT_EQ(model.get_calc_uid(), "");
  model.set_string_param("log_file", "");
  EXPECT_EQ(model.get_string_param("log_file"), "");
}

TEST_F(ModelValues, EmptyCountsTheTermsOfItsOwnViewOnly) {
  LinearExpression constant_only = linear(0.0, 0.0, 5.0);
  EXPECT_TRUE(constant_only.empty());
  QuadExpression quadratic = adopt<QuadExpression>(CreateQuadExpression());
  quadratic.add_expression(linear(1.0, 2.0, 0.0), 1.0);
  EXPECT_TRUE(quadratic.empty());
  EXPECT_EQ(quadratic.get_linear_part().get_terms_count(), 2);
  quadratic.add_term(x, y, 3.0);
  EXPECT_FALSE(quadratic.empty());
  EXPECT_EQ(quadratic.get_linear_part().get_quad_part().get_terms_count(), 1);
}

TEST_F(ModelValues, ACopyIsIndependent) {
  LinearExpression original = linear(1.0, 2.0, 3.0);
  LinearExpression copy = original.copy();
  copy.add_term(z, 1.0);
  copy.set_constant(0.0);
  EXPECT_EQ(original.get_terms_count(), 2);
  EXPECT_EQ(original.get_constant(), 3.0);
}

TEST_F(ModelValues, AConstraintOfTwoSidesHoldsTheirDifferenceAndLeavesThemAlone) {
  LinearExpression lhs = linear(3.0, 1.0, 4.0);
  LinearExpression rhs = linear(1.0, 1.0, 1.0);
  Constraint row = model.add_constraint(lhs, constraint_sense::less_equal, rhs, "r");
  LinearExpression stored = row.get_linear_expression();
  ASSERT_EQ(stored.get_terms_count(), 1);
  EXPECT_STREQ(stored.get_term_variable(0).get_name(), "x");
  EXPECT_EQ(stored.get_term_coeff(0), 2.0);
  EXPECT_EQ(stored.get_constant(), 3.0);
  EXPECT_EQ(row.get_upper_bound(), 0.0);
  EXPECT_EQ(lhs.get_terms_count(), 2);
  EXPECT_EQ(lhs.get_constant(), 4.0);
  EXPECT_EQ(rhs.get_constant(), 1.0);
}

TEST_F(ModelValues, AConstraintNeedsATermOfEitherKind) {
  const std::string empty = std::string("-1 ") + get_message(155);
  LinearExpression constant_only = linear(0.0, 0.0, 5.0);
  EXPECT_EQ(failure_of([&] { model.add_constraint(constant_only, constraint_sense::equal, 1.0, "e"); }), empty);
  EXPECT_EQ(failure_of([&] { model.add_constraint(constant_only, 0.0, 1.0, "e"); }), empty);
  EXPECT_EQ(failure_of([&] { model.add_constraint(constant_only, constraint_sense::equal, linear(0, 0, 1), "e"); }),
            empty);
  const QuadExpression no_terms = adopt<QuadExpression>(CreateQuadExpression());
  EXPECT_EQ(failure_of([&] { model.add_constraint(no_terms, constraint_sense::equal, 1.0, "e"); }), empty);
  EXPECT_EQ(failure_of([&] { model.add_constraint(Constraint(constant_only, constraint_sense::equal, 1.0), "e"); }),
            empty);
  EXPECT_EQ(model.get_constraints_count(), 0);

  // Quadratic terms behind a linear view, linear terms behind a quadratic one: rows.
  QuadExpression product = adopt<QuadExpression>(CreateQuadExpression());
  product.add_term(x, y, 1.0);
  model.add_constraint(product.get_linear_part(), constraint_sense::less_equal, 4.0, "p");
  QuadExpression linear_only = adopt<QuadExpression>(CreateQuadExpression());
  linear_only.add_expression(linear(1.0, 0.0, 0.0), 1.0);
  model.add_constraint(linear_only, 0.0, 4.0, "l");
  EXPECT_EQ(model.get_constraints_count(), 2);
  EXPECT_EQ(model.get_constraint("p").get_quad_expression().get_terms_count(), 1);
}

TEST_F(ModelValues, TheObjectiveOfAVariableIsThatVariableOnce) {
  model.set_objective(linear(2.0, 3.0, 7.0), objective_sense::minimize);
  model.set_objective(y, objective_sense::maximize);
  const LinearExpression objective = model.get_objective();
  ASSERT_EQ(objective.get_terms_count(), 1);
  EXPECT_STREQ(objective.get_term_variable(0).get_name(), "y");
  EXPECT_EQ(objective.get_term_coeff(0), 1.0);
  EXPECT_EQ(objective.get_constant(), 0.0);
  EXPECT_EQ(model.get_objective_sense(), objective_sense::maximize);
}

TEST_F(ModelValues, ObjectsTheLibraryCannotMakeAreRefused) {
  RecordingLinearExpression foreign;
  LinearExpression foreign_value(make_interface_ptr<ILinearExpression>(&foreign));  // its Release only records
  EXPECT_EQ(failure_of([&] { Constraint(foreign_value, constraint_sense::equal, 1.0); }),
            "-1 Невозможно создать ограничение");

  Model other;
  Variable w = other.add_variable(0.0, 1.0, 0.0, variable_type::continuous, "w");
  GeneralExpression leaf = make_general_expression(x.get_interface());
  EXPECT_EQ(failure_of([&] { GeneralConstraint(leaf, w, "g"); }), "-1 Невозможно создать ограничение");

  // A node type that takes no children of this kind gives no node.
  EXPECT_EQ(failure_of([&] { GeneralExpression(CreateGeneralExpression(gen_expr_type::minus)); }),
            std::string("-1 ") + get_message(459));
}

TEST_F(ModelValues, GeneralConstraintsHandOutViewsOfTheirTree) {
  GeneralExpression sum(CreateGeneralExpression(gen_expr_type::plus));
  sum.add_expr(make_general_expression(x.get_interface()));
  GeneralConstraint stored = model.add_general_constraint(sum, z, "g");
  GeneralExpression view = stored.get_expression();
  view.add_expr(make_general_expression(2.0));
  EXPECT_EQ(stored.get_expression().get_expr_count(), 2);
  EXPECT_STREQ(stored.get_variable().get_name(), "z");
  EXPECT_EQ(failure_of([&] { view.get_expr(5); }).substr(0, 3), "-1 ");
}

TEST_F(ModelValues, TheMatrixFaceIsReachedAcrossTheLibraryBoundary) {
  MatrixModel matrix;
  for (const char* name : {"a", "b"}) matrix.add_variable(0.0, 1.0, 0.0, variable_type::continuous, name);
  const double q[] = {2.0, 0.0, 0.0, 4.0};
  const double c[] = {1.0, -1.0};
  matrix.set_objective(q, 2, 2, c, 2, objective_sense::maximize);
  EXPECT_EQ(matrix.get_objective().get_terms_count(), 2);
  EXPECT_EQ(matrix.get_objective_sense(), objective_sense::maximize);
  matrix.add_constraint(nullptr, 0, 0, c, 2, constraint_sense::less_equal, 1.0);
  EXPECT_EQ(matrix.get_constraints_count(), 1);
  EXPECT_EQ(failure_of([&] { matrix.set_objective(q, 1, 4, nullptr, 0, objective_sense::minimize); }).substr(0, 3),
            "-1 ");
  matrix.clear();
  EXPECT_EQ(matrix.get_variables_count(), 0);
}

}  // namespace
}  // namespace velorium::testing
