// AddExpression of both faces: itself, other views of the same row, other models, the
// tolerance and duplicated quadratic pairs.
#include <gtest/gtest.h>

#include "core/expressions/expr_data.hpp"
#include "core/expressions/expression_views.hpp"
#include "support/expression_fixture.hpp"

namespace velorium::testing {
namespace {

using cpp_impl::expr_data;

class ExpressionMergeTest : public ExpressionFixture {
 protected:
  // 1x + 2y + 3 + 4xy + 5zz
  ILinearExpression* sample() {
    ILinearExpression* e = linear();
    e->AddTerm(x, 1.0);
    e->AddTerm(y, 2.0);
    e->AddConstant(3.0);
    IQuadExpression* q = own(e->GetQuadPart());
    q->AddTerm(x, y, 4.0);
    q->AddTerm(z, z, 5.0);
    return e;
  }
  static const Expression& terms(const ILinearExpression* e) { return cpp_impl::store_of(e)->get_terms(); }
  static const Expression& terms(const IQuadExpression* e) { return cpp_impl::store_of(e)->get_terms(); }
};

TEST_F(ExpressionMergeTest, AddingAnExpressionToItself) {
  ILinearExpression* doubled = sample();
  doubled->AddExpression(doubled, 1.0);
  EXPECT_TRUE(ok(doubled));
  const Expression& d = terms(doubled);
  ASSERT_EQ(d.linear_terms.size(), 2u);
  EXPECT_EQ(d.linear_terms[0].coefficient, 2.0);
  EXPECT_EQ(d.linear_terms[1].coefficient, 4.0);
  EXPECT_EQ(d.constant, 6.0);
  ASSERT_EQ(d.quadratic_terms.size(), 2u);
  EXPECT_EQ(d.quadratic_terms[0].coefficient, 8.0);
  EXPECT_EQ(d.quadratic_terms[1].coefficient, 10.0);

  ILinearExpression* cancelled = sample();
  cancelled->AddExpression(cancelled, -1.0);
  EXPECT_TRUE(terms(cancelled).linear_terms.empty());
  EXPECT_TRUE(terms(cancelled).quadratic_terms.empty());
  EXPECT_EQ(terms(cancelled).constant, 0.0);

  IQuadExpression* quad_face = own(sample()->GetQuadPart());
  quad_face->AddExpression(quad_face, -1.0);
  EXPECT_TRUE(terms(quad_face).linear_terms.empty());
  EXPECT_TRUE(terms(quad_face).quadratic_terms.empty());
  EXPECT_EQ(terms(quad_face).constant, 0.0);

  // A copy with the factor -1 cancels as well.
  ILinearExpression* original = sample();
  ILinearExpression* copy = own(original->CreateFreeCopy());
  copy->AddExpression(original, -1.0);
  EXPECT_TRUE(terms(copy).linear_terms.empty());
  EXPECT_TRUE(terms(copy).quadratic_terms.empty());
  EXPECT_EQ(terms(copy).constant, 0.0);
}

TEST_F(ExpressionMergeTest, TwoViewsOfOneRow) {
  Expression row_terms = terms(sample());
  const std::int32_t row = add_row(row_terms, "r");
  ILinearExpression* a = own(cpp_impl::make_linear_view(expr_data::make_row_view(model, row)));
  IQuadExpression* b = own(cpp_impl::make_quadratic_view(expr_data::make_row_view(model, row)));
  b->AddExpression(b, 1.0);
  a->AddExpression(a, -0.5);
  const Expression& stored = model->row_record(row).expression;
  ASSERT_EQ(stored.linear_terms.size(), 2u);
  EXPECT_EQ(stored.linear_terms[1].coefficient, 2.0);
  EXPECT_EQ(stored.quadratic_terms[0].coefficient, 4.0);
  EXPECT_EQ(stored.constant, 3.0);
  ILinearExpression* a_linear = own(b->GetLinearPart());
  a_linear->AddExpression(a, -1.0);
  EXPECT_TRUE(stored.linear_terms.empty());
  EXPECT_TRUE(stored.quadratic_terms.empty());
}

TEST_F(ExpressionMergeTest, LinearMergeKeepsNegligibleNewTermsAndSkipsRemovedVariables) {
  ILinearExpression* source = linear();
  source->AddTerm(x, 1.0);
  source->SetTermCoeff(0, 1e-15);
  source->AddTerm(y, 1.0);
  ILinearExpression* target = linear();
  target->AddTerm(z, 1.0);
  y->Remove();
  target->AddExpression(source, 1.0);
  const Expression& t = terms(target);
  ASSERT_EQ(t.linear_terms.size(), 2u);
  EXPECT_EQ(t.linear_terms[1].variable, 0);
  EXPECT_EQ(t.linear_terms[1].coefficient, 1e-15);
}

TEST_F(ExpressionMergeTest, QuadraticMergeDuplicatesNewPairsAndSweepsNegligibleTerms) {
  IQuadExpression* source = quadratic();
  source->AddTerm(x, y, 1.0);
  source->AddTerm(z, z, 1.0);
  source->SetTermCoeff(1, 2.0);
  // A second term of (x, y) comes only from a merge: two source terms of a new pair stay two.
  IQuadExpression* twice = quadratic();
  twice->AddExpression(source, 1.0);
  IQuadExpression* duplicated = quadratic();
  duplicated->AddTerm(x, x, 1.0);
  duplicated->SetTermCoeff(0, 1e-16);  // swept by the next merge with quadratic terms
  twice->RemoveTerm(1);                // leaves (x, y)
  IQuadExpression* pair_twice = quadratic();
  pair_twice->AddExpression(twice, 1.0);
  pair_twice->AddExpression(twice, 1.0);  // sums into the existing term
  EXPECT_EQ(terms(pair_twice).quadratic_terms.size(), 1u);

  IQuadExpression* dup_source = quadratic();
  dup_source->AddExpression(twice, 1.0);
  cpp_impl::store_of(dup_source)->get_terms().quadratic_terms.push_back({1, 0, 2.0});  // (y, x) as in a file
  duplicated->AddExpression(dup_source, 1.0);
  const Expression& d = terms(duplicated);
  ASSERT_EQ(d.quadratic_terms.size(), 2u);  // the 1e-16 term went; (x, y) twice
  EXPECT_EQ(d.quadratic_terms[0].variable1, 1);  // the last term moved into the freed position
  EXPECT_EQ(d.quadratic_terms[0].coefficient, 2.0);
  EXPECT_EQ(d.quadratic_terms[1].variable1, 0);
  EXPECT_EQ(d.quadratic_terms[1].coefficient, 1.0);

  // A merge whose sum cancels a term drops it.
  duplicated->AddExpression(dup_source, -1.0);
  EXPECT_TRUE(terms(duplicated).quadratic_terms.empty());
}

TEST_F(ExpressionMergeTest, AnotherModelIsRefusedBeforeAnythingChanges) {
  auto other = std::make_shared<cpp_impl::ModelBuilder>();
  IVariable* foreign = add_variable(other);
  ILinearExpression* target = sample();
  const Expression before = terms(target);

  ILinearExpression* foreign_linear = linear();
  foreign_linear->AddTerm(foreign, 1.0);
  foreign_linear->AddConstant(7.0);
  target->AddExpression(foreign_linear, 1.0);
  EXPECT_TRUE(failed(target, 405));

  // Only quadratic terms of another model: the constant must not move either.
  IQuadExpression* foreign_quad = quadratic();
  foreign_quad->AddTerm(foreign, foreign, 1.0);
  ILinearExpression* foreign_quad_linear = own(foreign_quad->GetLinearPart());
  foreign_quad_linear->AddConstant(7.0);
  target->AddExpression(foreign_quad_linear, 1.0);
  EXPECT_TRUE(failed(target, 405));
  const Expression& after = terms(target);
  EXPECT_EQ(after.constant, before.constant);
  EXPECT_EQ(after.linear_terms.size(), before.linear_terms.size());
  EXPECT_EQ(after.quadratic_terms.size(), before.quadratic_terms.size());

  // An empty expression of another model adds its constant only.
  ILinearExpression* empty_foreign = linear();
  empty_foreign->AddTerm(foreign, 1.0);
  empty_foreign->RemoveTerm(0);
  empty_foreign->AddConstant(1.0);
  target->AddExpression(empty_foreign, 1.0);
  EXPECT_TRUE(ok(target));
  EXPECT_EQ(terms(target).constant, before.constant + 1.0);
}

TEST_F(ExpressionMergeTest, NullForeignAndZeroFactor) {
  ILinearExpression* target = sample();
  target->AddExpression(nullptr, 1.0);
  EXPECT_TRUE(failed(target, 391));
  IQuadExpression* quad = own(target->GetQuadPart());
  quad->AddExpression(nullptr, 2.0);
  EXPECT_TRUE(failed(quad, 391));
  target->AddExpression(nullptr, 0.0);
  EXPECT_TRUE(ok(target));
  target->AddExpression(target, 0.0);
  EXPECT_EQ(terms(target).constant, 3.0);
}

TEST_F(ExpressionMergeTest, AFreeExpressionTakesTheSourceModel) {
  ILinearExpression* target = linear();
  target->AddExpression(sample(), 1.0);
  target->AddTerm(x, 1.0);
  EXPECT_TRUE(ok(target));
  EXPECT_EQ(terms(target).linear_terms[0].coefficient, 2.0);
}

}  // namespace
}  // namespace velorium::testing
