// Views never close a cycle: a view whose target can reach the receiving node is attached as a
// deep copy of that target.
#include <gtest/gtest.h>

#include "general_expr_test_support.hpp"

namespace velorium::testing {
namespace {

using T = gen_expr_type;

// Exp(Plus(Plus(1))) and views of its two sums.
struct NestedSums {
  OwnedExpr root;
  OwnedExpr outer;
  OwnedExpr inner;

  NestedSums() {
    const OwnedExpr inner_sum = node(T::plus);
    inner_sum->AddExpr(constant(1).get());
    const OwnedExpr outer_sum = node(T::plus);
    outer_sum->AddExpr(inner_sum.get());
    root = node(T::func_exp, outer_sum.get());
    outer.reset(root->GetExpr(0));
    inner.reset(outer->GetExpr(0));
  }
};

TEST(GeneralExpressionCycles, AddingAViewOfANodeToItselfAddsACopyOfTheNode) {
  NestedSums tree;
  tree.inner->AddExpr(tree.inner.get());
  EXPECT_EQ(tree.inner->GetErrorCode(), 0);
  EXPECT_EQ(describe(tree.root.get()), "Exp(Plus(Plus(1, Plus(1))))");
  tree.inner->AddExpr(tree.inner.get());
  EXPECT_EQ(describe(tree.root.get()), "Exp(Plus(Plus(1, Plus(1), Plus(1, Plus(1)))))");
  EXPECT_TRUE(node_of(tree.root.get()).IsComplete());
}

TEST(GeneralExpressionCycles, AViewOfAnAncestorIsCopiedWhileAViewOfAnotherPartStaysAView) {
  NestedSums tree;
  // The outer sum reaches the inner one: copied.
  tree.inner->AddExpr(tree.outer.get());
  EXPECT_EQ(describe(tree.root.get()), "Exp(Plus(Plus(1, Plus(Plus(1)))))");
  // The inner sum does not reach the outer one: a view is attached.
  tree.outer->AddExpr(tree.inner.get());
  EXPECT_EQ(describe(tree.root.get()), "Exp(Plus(Plus(1, Plus(Plus(1))), &Plus(1, Plus(Plus(1)))))");
  // Now the outer sum holds the inner one twice (once through a view); adding it to the inner
  // one once more copies it, views included, and stays finite.
  tree.inner->SetExpr(0, tree.outer.get());
  EXPECT_EQ(tree.inner->GetErrorCode(), 0);
  EXPECT_TRUE(node_of(tree.root.get()).IsComplete());
  const OwnedExpr copy(tree.root->CreateFreeCopy());
  EXPECT_TRUE(node_of(copy.get()).IsComplete());
}

TEST(GeneralExpressionCycles, AViewInsideTheArgumentThatReachesTheReceiverIsUnfolded) {
  NestedSums tree;
  const OwnedExpr holder = node(T::plus);
  holder->AddExpr(tree.outer.get());  // Plus(&outer)
  const OwnedExpr wrapped = node(T::func_cos, holder.get());
  tree.inner->AddExpr(wrapped.get());
  EXPECT_EQ(describe(tree.root.get()), "Exp(Plus(Plus(1, Cos(Plus(Plus(Plus(1)))))))");
  // The caller's own nodes keep their view.
  EXPECT_EQ(describe(holder.get()), "Plus(&Plus(Plus(1, Cos(Plus(Plus(Plus(1)))))))");
}

TEST(GeneralExpressionCycles, SetExprAndTheTwoChildNodesFollowTheSameRule) {
  const OwnedExpr one = constant(1);
  const OwnedExpr root = node(T::func_exp, OwnedExpr(node(T::minus, one.get(), one.get())).get());
  const OwnedExpr difference(root->GetExpr(0));
  difference->SetExpr(1, difference.get());
  EXPECT_EQ(difference->GetErrorCode(), 0);
  EXPECT_EQ(describe(root.get()), "Exp(Minus(1, Minus(1, 1)))");
  const OwnedExpr right(difference->GetExpr(1));
  right->SetExpr(0, difference.get());
  EXPECT_EQ(describe(root.get()), "Exp(Minus(1, Minus(Minus(1, Minus(1, 1)), 1)))");
}

}  // namespace
}  // namespace velorium::testing
