// Views of rows and of the objective: writing through, sharing one look-up, names, removed
// rows and cleared stores, free copies.
#include <gtest/gtest.h>

#include <functional>

#include "core/constraints/constraint_impl.hpp"
#include "core/expressions/expr_data.hpp"
#include "core/expressions/expression_views.hpp"
#include "core/names/names_holder.hpp"
#include "support/expression_fixture.hpp"

namespace velorium::testing {
namespace {

using cpp_impl::expr_data;

class ExpressionViewsTest : public ExpressionFixture {
 protected:
  ILinearExpression* row_view(std::int32_t row) {
    return own(cpp_impl::make_linear_view(expr_data::make_row_view(model, row)));
  }
  IQuadExpression* row_quad_view(std::int32_t row) {
    return own(cpp_impl::make_quadratic_view(expr_data::make_row_view(model, row)));
  }
  ILinearExpression* objective_view() {
    return own(cpp_impl::make_linear_view(expr_data::make_objective_view(model)));
  }
  static Expression terms_of(std::initializer_list<LinearTerm> terms) {
    Expression e;
    e.linear_terms = terms;
    return e;
  }
};

TEST_F(ExpressionViewsTest, TwoViewsOfOneRowWriteThroughAndAgreeOnTerms) {
  const std::int32_t row = add_row(terms_of({{0, 1.0}}), "r");
  ILinearExpression* a = row_view(row);
  ILinearExpression* b = row_view(row);
  IQuadExpression* q = row_quad_view(row);
  // Long enough that the look-up builds its index.
  for (int i = 0; i < 20; ++i) vars.push_back(add_variable(model));
  for (int i = 3; i < 23; ++i) a->AddTerm(vars[static_cast<std::size_t>(i)], 1.0);
  b->RemoveTerm(0);                        // x leaves; the last term moves to position 0
  a->AddTerm(vars[22], 1.0);               // found at its new position
  b->AddTerm(x, 5.0);                      // appended again
  a->AddTerm(x, -5.0);                     // and removed through the other view
  q->AddTerm(x, y, 1.0);
  // A term of a variable that view a never saw, appended by b after a removal (the same count
  // of terms as before): a must find it, not add a second one.
  IVariable* late = add_variable(model, "late");
  b->RemoveTerm(5);
  b->AddTerm(late, 1.0);
  a->AddTerm(late, 1.0);
  EXPECT_TRUE(ok(a));
  EXPECT_TRUE(ok(b));

  const Expression& stored = model->row_record(row).expression;
  ASSERT_EQ(stored.linear_terms.size(), 20u);
  EXPECT_EQ(stored.linear_terms[0].variable, 22);
  EXPECT_EQ(stored.linear_terms[0].coefficient, 2.0);
  EXPECT_EQ(stored.quadratic_terms.size(), 1u);
  EXPECT_EQ(b->GetTermsCount(), 20);
  int late_terms = 0;
  for (const LinearTerm& t : stored.linear_terms) {
    if (t.variable != 23) continue;
    ++late_terms;
    EXPECT_EQ(t.coefficient, 2.0);
  }
  EXPECT_EQ(late_terms, 1);
}

TEST_F(ExpressionViewsTest, ObjectiveViewFollowsTheModel) {
  ILinearExpression* view = objective_view();
  for (int i = 0; i < 20; ++i) vars.push_back(add_variable(model));
  for (int i = 3; i < 23; ++i) view->AddTerm(vars[static_cast<std::size_t>(i)], 1.0);
  // The model appends to the objective itself.
  IVariable* w = variable(model, model->add_variable(0.0, 1.0, 7.0, 0, "w", nullptr));
  view->AddTerm(w, 1.0);
  EXPECT_EQ(view->GetTermsCount(), 21);
  EXPECT_EQ(view->GetTermCoeff(20), 8.0);

  // A new objective of the same length replaces every term.
  Expression replacement = terms_of({{1, 1.0}});
  for (std::int32_t v = 4; v <= 23; ++v) replacement.linear_terms.push_back({v, 1.0});
  model->set_objective(replacement, 0);
  view->AddTerm(y, 1.0);
  EXPECT_EQ(view->GetTermsCount(), 21);
  EXPECT_EQ(view->GetTermCoeff(0), 2.0);

  view->SetName("cost");
  EXPECT_STREQ(get_names_holder()->names_holder_get(model->model->objective.name_id), "cost");
}

TEST_F(ExpressionViewsTest, NamesOfViewsAreTheNamesOfWhatTheyShow) {
  const std::int32_t first = add_row(terms_of({{0, 1.0}}), "first");
  add_row(terms_of({{1, 1.0}}), "second");
  ILinearExpression* view = row_view(first);
  EXPECT_STREQ(view->GetName(), "first");
  view->SetName("renamed");
  EXPECT_TRUE(ok(view));
  EXPECT_EQ(model->find_constraint_index("renamed"), first);
  view->SetName("second");
  EXPECT_TRUE(failed(view, 140, "second"));
  EXPECT_STREQ(view->GetName(), "renamed");
  view->SetName(nullptr);  // a row always has a name: a generated one
  ASSERT_NE(view->GetName(), nullptr);
  EXPECT_STRNE(view->GetName(), "renamed");
  EXPECT_STRNE(view->GetName(), "");

  ILinearExpression* objective = objective_view();
  objective->SetName("second");
  EXPECT_TRUE(failed(objective, 139, "second"));
}

TEST_F(ExpressionViewsTest, FreeCopyOfARowViewIsIndependentAndCarriesTheName) {
  const std::int32_t row = add_row(terms_of({{0, 1.0}, {1, 2.0}}), "r");
  ILinearExpression* view = row_view(row);
  ILinearExpression* copy = own(view->CreateFreeCopy());
  EXPECT_STREQ(copy->GetName(), "r");
  view->AddTerm(z, 3.0);
  view->SetTermCoeff(0, 9.0);
  EXPECT_EQ(copy->GetTermsCount(), 2);
  EXPECT_EQ(copy->GetTermCoeff(0), 1.0);
  copy->AddTerm(x, 1.0);
  copy->SetName("other");
  EXPECT_EQ(model->row_record(row).expression.linear_terms[0].coefficient, 9.0);
  EXPECT_STREQ(view->GetName(), "r");
}

TEST_F(ExpressionViewsTest, ViewOfARemovedRowFailsWith111InEveryOperation) {
  const std::int32_t row = add_row(terms_of({{0, 1.0}}), "r");
  ILinearExpression* view = row_view(row);
  IQuadExpression* quad = row_quad_view(row);
  ILinearExpression* other = linear();
  other->AddTerm(x, 1.0);
  model->remove_row(row);

  // Each operation returns the object it ran on.
  const std::function<IErrorInfo*()> operations[] = {
      [&] { view->GetTermsCount(); return view; },        [&] { view->GetConstant(); return view; },
      [&] { view->SetConstant(1.0); return view; },       [&] { view->AddConstant(1.0); return view; },
      [&] { view->AddTerm(x, 1.0); return view; },        [&] { view->SetTermCoeff(0, 1.0); return view; },
      [&] { view->RemoveTerm(0); return view; },          [&] { view->AddExpression(other, 1.0); return view; },
      [&] { view->SetName("n"); return view; },           [&] { view->GetName(); return view; },
      [&] { view->RemoveVariable(x); return view; },      [&] { view->GetTermVariable(0); return view; },
      [&]() -> IErrorInfo* { quad->AddTerm(x, y, 1.0); return quad; },
      [&]() -> IErrorInfo* { quad->GetTermsCount(); return quad; },
      [&]() -> IErrorInfo* { quad->AddExpression(quad, 1.0); return quad; },
  };
  for (const auto& operation : operations) {
    IErrorInfo* object = operation();
    EXPECT_TRUE(failed(object, 111, row));
  }
  EXPECT_EQ(own(view->CreateFreeCopy()), nullptr);
  // Merging from such a view is refused too, and the target keeps its terms.
  other->AddExpression(view, 1.0);
  EXPECT_TRUE(failed(other, 111, row));
  EXPECT_EQ(other->GetTermsCount(), 1);
}

TEST_F(ExpressionViewsTest, ViewsOfAClearedStore) {
  const std::int32_t row = add_row(terms_of({{0, 1.0}}), "r");
  ILinearExpression* view = row_view(row);
  ILinearExpression* objective = objective_view();
  objective->AddTerm(x, 2.0);
  model->remove_all();
  EXPECT_EQ(view->GetTermsCount(), 0);
  EXPECT_TRUE(failed(view, 111, row));
  // The objective view still reads the old store's objective; its variables are gone.
  EXPECT_EQ(objective->GetTermsCount(), 1);
  EXPECT_EQ(objective->GetTermVariable(0), nullptr);
  EXPECT_TRUE(failed(objective, 406));
  objective->AddTerm(x, 1.0);
  EXPECT_TRUE(failed(objective, 407));
}

TEST_F(ExpressionViewsTest, HandingOutAViewDropsTheFirstTermOfARemovedVariable) {
  const std::int32_t row = add_row(terms_of({{0, 1.0}, {1, 2.0}, {2, 3.0}}), "r");
  x->Remove();
  z->Remove();
  ILinearExpression* view = row_view(row);
  ASSERT_EQ(view->GetTermsCount(), 2);  // only x's term went
  EXPECT_EQ(view->GetTermVariableIndex(0), 2);
  EXPECT_EQ(view->GetTermVariable(0), nullptr);
  EXPECT_TRUE(failed(view, 406));
}

}  // namespace
}  // namespace velorium::testing
