// Trees a million levels deep are copied, checked, converted to records and back, and
// destroyed without recursion.
#include <gtest/gtest.h>

#include <vector>

#include "core/general/general_expression_records.hpp"
#include "core/general/multi_general_expr.hpp"
#include "core/general/origin_general_expr.hpp"
#include "core/general/unary_general_expr.hpp"
#include "general_expr_test_support.hpp"

namespace velorium::testing {
namespace {

using cpp_impl::GeneralExprPtr;
using cpp_impl::OwnedGeneralExpr;
using T = gen_expr_type;

constexpr int kDepth = 1'000'000;

// Exp(Exp(...Exp(leaf)...)) with `depth` one-child nodes; every fifth level a sum when
// `mixed`, so that n-ary nodes lie on the chain too.
GeneralExprPtr chain(int depth, bool mixed = false) {
  GeneralExprPtr top = cpp_impl::share_node(OwnedGeneralExpr(new cpp_impl::ConstantGeneralExpr(2.0)));
  for (int level = 0; level < depth; ++level) {
    OwnedGeneralExpr parent;
    if (mixed && level % 5 == 0) {
      parent.reset(new cpp_impl::MultiGeneralExpr(T::plus));
    } else {
      parent.reset(new cpp_impl::UnaryGeneralExpr(T::func_exp));
    }
    parent->AppendChild(std::move(top));
    top = cpp_impl::share_node(std::move(parent));
  }
  return top;
}

int depth_of(const cpp_impl::GeneralExpressionImplBase* node) {
  int depth = 0;
  while (node && node->child_slots() > 0) {
    node = node->GetChild(0);
    ++depth;
  }
  return depth;
}

TEST(GeneralExpressionDeepTrees, CopyCheckAttachAndDestroyAMillionLevels) {
  GeneralExprPtr deep = chain(kDepth, true);
  EXPECT_TRUE(deep->IsComplete());

  OwnedExpr copy(deep->CreateFreeCopy());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(depth_of(&node_of(copy.get())), kDepth);

  // Attaching copies; a view of the chain attached to a node inside it is unfolded.
  const OwnedExpr holder = node(T::plus);
  holder->AddExpr(copy.get());
  EXPECT_EQ(holder->GetExprCount(), 1);
  const OwnedExpr view_of_top(new cpp_impl::OriginGeneralExpr(deep));
  OwnedExpr near_bottom(view_of_top->GetExpr(0));
  for (int level = 0; level < 3; ++level) near_bottom.reset(near_bottom->GetExpr(0));
  const OwnedExpr bottom_sum(near_bottom.release());
  ASSERT_EQ(bottom_sum->GetType(), T::plus);  // level kDepth - 5, a multiple of five
  bottom_sum->AddExpr(view_of_top.get());
  EXPECT_EQ(bottom_sum->GetErrorCode(), 0);
  EXPECT_TRUE(deep->IsComplete());

  copy.reset();
  deep.reset();
  // The views keep what they stand for; releasing them takes the rest apart.
}

TEST(GeneralExpressionDeepTrees, RecordsOfAMillionLevelsAndBack) {
  std::vector<ExprNodeRecord> records;
  records.reserve(kDepth + 1);
  for (int level = 0; level < kDepth; ++level) records.push_back(ExprNodeRecord::operation(9, level - 1));
  records.push_back(ExprNodeRecord::constant(2.0, kDepth - 1));
  GeneralExprPtr tree = cpp_impl::general_expression_from_records(records, {});
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(depth_of(tree.get()), kDepth);
  records.pop_back();  // the last operator now lacks its child
  EXPECT_EQ(cpp_impl::general_expression_from_records(records, {}), nullptr);
}

}  // namespace
}  // namespace velorium::testing
