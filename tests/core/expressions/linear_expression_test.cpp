// The linear face of a free expression: term rules, positions, errors and the quadratic part
// it carries along.
#include <gtest/gtest.h>

#include <cstring>

#include "core/expressions/linear_expression_impl.hpp"
#include "support/expression_fixture.hpp"
#include "support/kernel_absence.hpp"

namespace velorium::testing {
namespace {

using LinearExpressionTest = ExpressionFixture;

TEST_F(LinearExpressionTest, NewExpressionIsEmptyAndNamelessWithoutError) {
  ILinearExpression* e = linear();
  EXPECT_EQ(e->GetTermsCount(), 0);
  EXPECT_EQ(e->GetConstant(), 0.0);
  EXPECT_EQ(e->GetName(), nullptr);
  EXPECT_TRUE(ok(e));
  EXPECT_STREQ(e->GetErrorText(), "");
}

TEST_F(LinearExpressionTest, BadPositionGivesMessage404InRussianAndNeutralValues) {
  ILinearExpression* e = linear();
  e->AddTerm(x, 1.0);
  e->AddTerm(y, 2.0);
  EXPECT_EQ(e->GetTermVariableIndex(5), -1);
  EXPECT_STREQ(e->GetErrorText(), "Неверный индекс выражения [5]");
  EXPECT_EQ(e->GetErrorCode(), -1);
  EXPECT_EQ(e->GetTermCoeff(-1), 0.0);
  EXPECT_TRUE(failed(e, 404, -1));
  EXPECT_EQ(e->GetTermVariable(2), nullptr);
  EXPECT_TRUE(failed(e, 404, 2));
  e->SetTermCoeff(2, 7.0);
  EXPECT_TRUE(failed(e, 404, 2));
  e->RemoveTerm(2);
  EXPECT_TRUE(failed(e, 404, 2));
  EXPECT_EQ(e->GetTermsCount(), 2);  // the next successful operation clears the error
  EXPECT_TRUE(ok(e));
}

// Each row: coefficients added one after the other to x; the coefficient x ends with, or
// none when x has no term.
struct TermRuleCase {
  const char* what;
  std::vector<double> additions;
  bool has_term;
  double coefficient;
};

TEST_F(LinearExpressionTest, TermRulesAroundTheTolerance) {
  const TermRuleCase cases[] = {
      {"sum to zero", {2.0, -2.0}, false, 0.0},
      {"new negligible term", {1e-15}, false, 0.0},
      {"new term at the tolerance", {1e-14}, true, 1e-14},
      {"zero adds nothing", {0.0}, false, 0.0},
      {"sum below the tolerance", {1.0, -1.0 + 1e-15}, false, 0.0},
      {"sum above the tolerance", {1.0, -1.0 + 1e-13}, true, 1.0 + (-1.0 + 1e-13)},
      {"negligible addition to a term", {1.0, 1e-15}, true, 1.0 + 1e-15},
  };
  for (const TermRuleCase& c : cases) {
    ILinearExpression* e = linear();
    for (double addition : c.additions) {
      e->AddTerm(x, addition);
      ASSERT_TRUE(ok(e)) << c.what;
    }
    ASSERT_EQ(e->GetTermsCount(), c.has_term ? 1 : 0) << c.what;
    if (c.has_term) EXPECT_EQ(e->GetTermCoeff(0), c.coefficient) << c.what;
  }
}

TEST_F(LinearExpressionTest, SetTermCoeffStoresExactlyAndZeroKeepsTheTerm) {
  ILinearExpression* e = linear();
  e->AddTerm(x, 3.0);
  e->SetTermCoeff(0, 0.0);
  ASSERT_EQ(e->GetTermsCount(), 1);
  e->AddTerm(x, 0.0);
  EXPECT_EQ(e->GetTermsCount(), 1);
  e->SetTermCoeff(0, 1e-20);
  EXPECT_EQ(e->GetTermCoeff(0), 1e-20);
  e->AddTerm(x, -1e-20);
  EXPECT_EQ(e->GetTermsCount(), 0);
}

TEST_F(LinearExpressionTest, RemovingATermMovesTheLastIntoItsPosition) {
  ILinearExpression* e = linear();
  e->AddTerm(x, 1.0);
  e->AddTerm(y, 2.0);
  e->AddTerm(z, 3.0);
  e->RemoveTerm(0);
  ASSERT_EQ(e->GetTermsCount(), 2);
  EXPECT_EQ(e->GetTermVariableIndex(0), 2);
  EXPECT_EQ(e->GetTermVariableIndex(1), 1);
  e->AddTerm(z, 1.0);  // the moved term is still found
  EXPECT_EQ(e->GetTermsCount(), 2);
  EXPECT_EQ(e->GetTermCoeff(0), 4.0);
}

TEST_F(LinearExpressionTest, VariablesOfAnotherModelOrRemovedOrInvalidAreRefused) {
  auto other = std::make_shared<cpp_impl::ModelBuilder>();
  IVariable* foreign = add_variable(other, "f");
  ILinearExpression* e = linear();
  e->AddTerm(x, 1.0);

  e->AddTerm(foreign, 1.0);
  EXPECT_TRUE(failed(e, 405));
  EXPECT_STREQ(e->GetErrorText(), "Невозможно добавить выражение из другой модели");

  IVariable* doomed = add_variable(model, "doomed");
  doomed->Remove();
  e->AddTerm(doomed, 1.0);
  EXPECT_TRUE(failed(e, 407));

  // Handles of no variable: a failed look-up (-1) and an index past the table.
  e->AddTerm(variable(model, -1), 1.0);
  EXPECT_TRUE(failed(e, 110, -1));
  EXPECT_STREQ(e->GetErrorText(), "Неверный индекс объекта [-1]");
  e->AddTerm(variable(model, 99), 1.0);
  EXPECT_TRUE(failed(e, 110, 99));
  e->AddTerm(nullptr, 1.0);
  EXPECT_TRUE(failed(e, 405));
  e->RemoveVariable(variable(model, -1));
  EXPECT_TRUE(failed(e, 110, -1));

  EXPECT_EQ(e->GetTermsCount(), 1);
  EXPECT_EQ(e->GetTermCoeff(0), 1.0);
}

TEST_F(LinearExpressionTest, AFreeExpressionTakesTheModelOfItsFirstTerm) {
  auto other = std::make_shared<cpp_impl::ModelBuilder>();
  IVariable* foreign = add_variable(other, "f");
  IVariable* removed_elsewhere = add_variable(other, "g");
  removed_elsewhere->Remove();

  ILinearExpression* e = linear();
  e->AddTerm(removed_elsewhere, 1.0);
  EXPECT_TRUE(failed(e, 407));
  e->AddTerm(foreign, 2.0);
  EXPECT_TRUE(ok(e));
  e->AddTerm(x, 1.0);
  EXPECT_TRUE(failed(e, 405));
}

TEST_F(LinearExpressionTest, TermVariableOfARemovedVariable) {
  ILinearExpression* e = linear();
  e->AddTerm(x, 1.0);
  e->AddTerm(y, 2.0);
  x->Remove();
  EXPECT_EQ(e->GetTermVariable(0), nullptr);
  EXPECT_TRUE(failed(e, 406));
  EXPECT_EQ(e->GetTermVariableIndex(0), 0);
  IVariable* second = own(e->GetTermVariable(1));
  ASSERT_NE(second, nullptr);
  EXPECT_STREQ(second->GetName(), "y");
}

TEST_F(LinearExpressionTest, RemoveVariable) {
  auto other = std::make_shared<cpp_impl::ModelBuilder>();
  IVariable* foreign = add_variable(other);
  ILinearExpression* e = linear();
  e->AddTerm(x, 1.0);
  e->AddTerm(y, 2.0);

  e->RemoveVariable(z);  // no term of z
  EXPECT_TRUE(ok(e));
  e->RemoveVariable(nullptr);
  EXPECT_TRUE(failed(e, 396));
  // Store index 0 in another model is not x.
  e->RemoveVariable(foreign);
  EXPECT_TRUE(failed(e, 394));
  EXPECT_EQ(e->GetTermsCount(), 2);

  e->RemoveVariable(x);
  EXPECT_TRUE(ok(e));
  ASSERT_EQ(e->GetTermsCount(), 1);
  EXPECT_EQ(e->GetTermVariableIndex(0), 1);
}

TEST_F(LinearExpressionTest, QuadraticPartTravelsWithCopiesAndMerges) {
  ILinearExpression* e = linear();
  e->AddTerm(x, 1.0);
  e->AddConstant(2.5);
  IQuadExpression* q = own(e->GetQuadPart());
  q->AddTerm(x, y, 4.0);
  EXPECT_EQ(e->GetTermsCount(), 1);

  ILinearExpression* copy = own(e->CreateFreeCopy());
  IQuadExpression* copy_q = own(copy->GetQuadPart());
  ASSERT_EQ(copy_q->GetTermsCount(), 1);
  EXPECT_EQ(copy_q->GetTermCoeff(0), 4.0);
  EXPECT_EQ(copy->GetConstant(), 2.5);

  ILinearExpression* sum = linear();
  sum->AddExpression(e, 2.0);
  IQuadExpression* sum_q = own(sum->GetQuadPart());
  ASSERT_EQ(sum_q->GetTermsCount(), 1);
  EXPECT_EQ(sum_q->GetTermCoeff(0), 8.0);
  EXPECT_EQ(sum->GetConstant(), 5.0);

  // The copy is independent both ways.
  copy->AddTerm(z, 1.0);
  q->SetTermCoeff(0, 9.0);
  EXPECT_EQ(e->GetTermsCount(), 1);
  EXPECT_EQ(copy_q->GetTermCoeff(0), 4.0);
}

TEST_F(LinearExpressionTest, NamesOfAFreeExpression) {
  ILinearExpression* e = linear();
  e->SetName("profit");
  EXPECT_STREQ(e->GetName(), "profit");
  ILinearExpression* copy = own(e->CreateFreeCopy());
  EXPECT_STREQ(copy->GetName(), "profit");
  e->SetName(nullptr);  // back to no name
  EXPECT_EQ(e->GetName(), nullptr);
  EXPECT_TRUE(ok(e));
}

TEST_F(LinearExpressionTest, NameOperationsWithoutTheCoreObject) {
  ILinearExpression* e = linear();
  IQuadExpression* q = own(e->GetQuadPart());
  ScopedKernelAbsence absent;
  EXPECT_EQ(e->GetName(), nullptr);
  EXPECT_STREQ(e->GetErrorText(), "Ошибка инициализации ядра velorium");
  EXPECT_EQ(e->GetErrorCode(), -1);
  q->SetName("n");
  EXPECT_STREQ(q->GetErrorText(), "Ошибка инициализации ядра velorium");
  e->AddConstant(1.0);  // other operations do not need the core object
  EXPECT_TRUE(ok(e));
}

}  // namespace
}  // namespace velorium::testing
