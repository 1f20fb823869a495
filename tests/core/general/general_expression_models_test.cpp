// Variable leaves and the model check: a tree never takes variables of two models, views
// looked through.
#include <gtest/gtest.h>

#include "core/general/unary_general_expr.hpp"
#include "two_models_fixture.hpp"

namespace velorium::testing {
namespace {

using T = gen_expr_type;

void expect_refused(const IGeneralExpression* expr) {
  EXPECT_EQ(expr->GetErrorCode(), -1);
  EXPECT_STREQ(expr->GetErrorText(), kAnotherModel);
}

using GeneralExpressionModels = TwoModels;

TEST_F(GeneralExpressionModels, AVariableLeafHandsOutItsVariableButNotItsConstant) {
  const OwnedExpr leaf = a(2);
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->GetType(), T::variable);
  EXPECT_EQ(leaf->GetArity(), 0);
  const Owned<IVariable> variable(leaf->GetVariable());
  ASSERT_NE(variable, nullptr);
  EXPECT_STREQ(variable->GetName(), "a2");
  const auto& handle = dynamic_cast<const cpp_impl::VariableImpl&>(*variable);
  EXPECT_EQ(handle.model(), store_a);
  EXPECT_EQ(handle.index(), 2);
  EXPECT_DOUBLE_EQ(leaf->GetConstant(), 0.0);
  EXPECT_EQ(leaf->GetErrorCode(), -1);
  EXPECT_STREQ(leaf->GetErrorText(), "Действие не применимо к выражению типа 'Variable'\n");
  EXPECT_EQ(CreateGeneralExpression(static_cast<const IVariable*>(nullptr)), nullptr);
}

TEST_F(GeneralExpressionModels, ALeafDoesNotKeepItsModelAlive) {
  auto store = std::make_shared<cpp_impl::ModelBuilder>();
  store->add_variable(0.0, 1.0, 0.0, 0, "v", nullptr);
  const OwnedExpr leaf = variable(store, 0);
  const std::weak_ptr<cpp_impl::ModelBuilder> watch = store;
  store.reset();
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(Owned<IVariable>(leaf->GetVariable()), nullptr);
  EXPECT_EQ(leaf->GetErrorCode(), -1);
  EXPECT_STREQ(leaf->GetErrorText(), "Объект с индексом [0] удален");
  // A leaf of a model that is gone counts as having no model.
  const OwnedExpr sum = sum_of_a();
  sum->AddExpr(leaf.get());
  EXPECT_EQ(sum->GetErrorCode(), 0);
  EXPECT_EQ(sum->GetExprCount(), 2);
}

TEST_F(GeneralExpressionModels, ASumTakesTheModelOfItsFirstVariableAndRefusesAnother) {
  const OwnedExpr sum = node(T::plus);
  sum->AddExpr(constant(1).get());
  sum->AddExpr(b().get());
  sum->AddExpr(a(0).get());
  expect_refused(sum.get());
  EXPECT_EQ(describe(sum.get()), "Plus(1, x0)");
  sum->AddExpr(constant(2).get());
  EXPECT_EQ(sum->GetErrorCode(), 0);
  sum->SetExpr(0, a(1).get());
  expect_refused(sum.get());
  EXPECT_EQ(describe(sum.get()), "Plus(1, x0, 2)");
}

TEST_F(GeneralExpressionModels, OneAndTwoChildNodesRefuseAVariableOfAnotherModel) {
  const OwnedExpr mixed = node(T::divide, a(0).get(), b().get());
  ASSERT_NE(mixed, nullptr);
  expect_refused(mixed.get());
  EXPECT_EQ(mixed->GetExprCount(), 0);
  EXPECT_EQ(OwnedExpr(mixed->GetExpr(0)), nullptr);
  EXPECT_STREQ(mixed->GetErrorText(), "Операция не удалась\n");
  EXPECT_FALSE(node_of(mixed.get()).IsComplete());

  const OwnedExpr exp = node(T::func_exp, a(0).get());
  exp->SetExpr(0, b().get());
  expect_refused(exp.get());
  EXPECT_EQ(describe(exp.get()), "Exp(x0)");
  const OwnedExpr minus = node(T::minus, a(0).get(), constant(1).get());
  minus->SetExpr(1, b().get());
  expect_refused(minus.get());
  EXPECT_EQ(describe(minus.get()), "Minus(x0, 1)");
  minus->SetExpr(1, a(2).get());
  EXPECT_EQ(describe(minus.get()), "Minus(x0, x2)");
}

TEST_F(GeneralExpressionModels, TheCheckLooksThroughViews) {
  // A view of a sum of model B, held by a tree of the caller.
  const OwnedExpr holder = node(T::func_exp, OwnedExpr(node(T::plus)).get());
  const OwnedExpr view(holder->GetExpr(0));
  view->AddExpr(b().get());
  const OwnedExpr sum = sum_of_a();
  sum->AddExpr(view.get());
  expect_refused(sum.get());
  const OwnedExpr wrapped = node(T::func_sin, view.get());
  const OwnedExpr mixed = node(T::minus, a(0).get(), wrapped.get());
  expect_refused(mixed.get());

  // The target took model B after the view was attached to `carrier`: attaching the carrier
  // still finds it.
  const OwnedExpr late_holder = node(T::func_exp, OwnedExpr(node(T::plus)).get());
  const OwnedExpr late_view(late_holder->GetExpr(0));
  const OwnedExpr carrier = node(T::plus);
  carrier->AddExpr(late_view.get());
  late_view->AddExpr(b().get());
  sum->AddExpr(carrier.get());
  expect_refused(sum.get());
  EXPECT_EQ(describe(sum.get()), "Plus(x0)");
}

TEST_F(GeneralExpressionModels, AVariableAddedThroughAViewBelowANodeCountsForThatNode) {
  const OwnedExpr outer = node(T::plus);
  outer->AddExpr(OwnedExpr(node(T::plus)).get());
  const OwnedExpr inner(outer->GetExpr(0));
  inner->AddExpr(b().get());
  outer->AddExpr(a(0).get());
  expect_refused(outer.get());
  outer->AddExpr(b().get());
  EXPECT_EQ(outer->GetErrorCode(), 0);
  EXPECT_EQ(describe(outer.get()), "Plus(Plus(x0), x0)");
}

}  // namespace
}  // namespace velorium::testing
