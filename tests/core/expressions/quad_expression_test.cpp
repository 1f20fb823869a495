// The quadratic face: unordered pairs, square terms, the tolerance, removed variables.
#include <gtest/gtest.h>

#include "support/expression_fixture.hpp"

namespace velorium::testing {
namespace {

using QuadExpressionTest = ExpressionFixture;

TEST_F(QuadExpressionTest, APairIsOneTermInEitherOrderAndKeepsItsFirstOrder) {
  IQuadExpression* q = quadratic();
  q->AddTerm(x, y, 1.0);
  q->AddTerm(y, x, -1.0);
  EXPECT_EQ(q->GetTermsCount(), 0);

  q->AddTerm(x, y, 1.0);
  q->AddTerm(y, x, 2.0);
  ASSERT_EQ(q->GetTermsCount(), 1);
  EXPECT_EQ(q->GetTermVariable1Index(0), 0);
  EXPECT_EQ(q->GetTermVariable2Index(0), 1);
  EXPECT_EQ(q->GetTermCoeff(0), 3.0);

  q->AddTerm(x, x, 1.0);
  ASSERT_EQ(q->GetTermsCount(), 2);
  EXPECT_EQ(q->GetTermVariable1Index(1), 0);
  EXPECT_EQ(q->GetTermVariable2Index(1), 0);

  q->AddTerm(y, z, 1e-15);
  EXPECT_EQ(q->GetTermsCount(), 2);
  q->AddTerm(y, z, 0.0);
  EXPECT_TRUE(ok(q));
  EXPECT_EQ(q->GetTermsCount(), 2);
}

TEST_F(QuadExpressionTest, ManyPairsBuiltTermByTermStayDistinct) {
  IQuadExpression* q = quadratic();
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) q->AddTerm(vars[i], vars[j], 1.0);
  }
  // (x,y) and (y,x) are one term: 6 distinct pairs, off-diagonal ones with 2.
  ASSERT_EQ(q->GetTermsCount(), 6);
  double total = 0.0;
  for (int t = 0; t < 6; ++t) {
    const double expected = q->GetTermVariable1Index(t) == q->GetTermVariable2Index(t) ? 1.0 : 2.0;
    EXPECT_EQ(q->GetTermCoeff(t), expected);
    total += q->GetTermCoeff(t);
  }
  EXPECT_EQ(total, 9.0);
}

TEST_F(QuadExpressionTest, ModelChecksAndBadHandles) {
  auto other = std::make_shared<cpp_impl::ModelBuilder>();
  IVariable* foreign = add_variable(other, "f");
  IQuadExpression* q = quadratic();
  q->AddTerm(x, foreign, 1.0);  // a new expression: the two must share a model
  EXPECT_TRUE(failed(q, 405));
  q->AddTerm(x, y, 1.0);
  q->AddTerm(foreign, foreign, 1.0);
  EXPECT_TRUE(failed(q, 405));
  q->AddTerm(x, variable(model, -1), 1.0);
  EXPECT_TRUE(failed(q, 110, -1));
  IVariable* doomed = add_variable(model);
  doomed->Remove();
  q->AddTerm(doomed, x, 1.0);
  EXPECT_TRUE(failed(q, 407));
  EXPECT_EQ(q->GetTermsCount(), 1);
}

TEST_F(QuadExpressionTest, SecondVariableRemoved) {
  IQuadExpression* q = quadratic();
  q->AddTerm(x, y, 1.0);
  y->Remove();
  EXPECT_EQ(q->GetTermVariable2(0), nullptr);
  EXPECT_TRUE(failed(q, 406));
  IVariable* first = own(q->GetTermVariable1(0));
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->GetName(), "x");
  EXPECT_EQ(q->GetTermVariable2Index(0), 1);
  EXPECT_EQ(q->GetTermVariable1(3), nullptr);
  EXPECT_TRUE(failed(q, 404, 3));
}

TEST_F(QuadExpressionTest, LinearPartSharesTheStore) {
  IQuadExpression* q = quadratic();
  q->AddTerm(x, y, 2.0);
  ILinearExpression* l = own(q->GetLinearPart());
  l->AddConstant(3.0);
  l->AddTerm(z, 1.0);
  IQuadExpression* copy = own(q->CreateFreeCopy());
  ILinearExpression* copy_l = own(copy->GetLinearPart());
  EXPECT_EQ(copy_l->GetConstant(), 3.0);
  EXPECT_EQ(copy_l->GetTermsCount(), 1);
  EXPECT_EQ(copy->GetTermsCount(), 1);
  q->SetName("q");
  EXPECT_STREQ(l->GetName(), "q");
}

TEST_F(QuadExpressionTest, RemoveTermMovesTheLastTerm) {
  IQuadExpression* q = quadratic();
  q->AddTerm(x, x, 1.0);
  q->AddTerm(y, y, 2.0);
  q->AddTerm(z, z, 3.0);
  q->RemoveTerm(0);
  ASSERT_EQ(q->GetTermsCount(), 2);
  EXPECT_EQ(q->GetTermVariable1Index(0), 2);
  q->AddTerm(z, z, 1.0);
  EXPECT_EQ(q->GetTermsCount(), 2);
  EXPECT_EQ(q->GetTermCoeff(0), 4.0);
  q->RemoveTerm(2);
  EXPECT_TRUE(failed(q, 404, 2));
}

}  // namespace
}  // namespace velorium::testing
