// General constraints as flat records: flattening with renumbered variables, and trees read
// back from records, including records that do not make a tree.
#include <gtest/gtest.h>

#include <vector>

#include "core/general/general_constraint_records.hpp"
#include "core/general/general_constraint_wrapper.hpp"
#include "core/general/origin_general_expr.hpp"
#include "core/general/unary_general_expr.hpp"
#include "two_models_fixture.hpp"

namespace velorium::testing {
namespace {

using cpp_impl::GeneralExprPtr;
using cpp_impl::VariableRenumbering;
using T = gen_expr_type;

class GeneralConstraintRecords : public TwoModels {
 protected:
  VariableRenumbering identity() const { return {{}, store_a->column_table.record_count()}; }

  std::vector<ExprNodeRecord> flatten(const IGeneralExpression* tree, const VariableRenumbering& variables,
                                      bool expect_placed = true) const {
    std::vector<ExprNodeRecord> records;
    EXPECT_EQ(cpp_impl::flatten_general_expression(node_of(tree), *store_a, variables, records), expect_placed);
    return records;
  }
  GeneralExprPtr read(const std::vector<ExprNodeRecord>& records) const {
    return cpp_impl::general_expression_from_records(records, store_a);
  }
};

bool same_record(const ExprNodeRecord& a, const ExprNodeRecord& b) {
  return a.type == b.type && a.parent == b.parent && a.payload == b.payload;
}

TEST_F(GeneralConstraintRecords, ASingleVariableIsOneRecord) {
  const std::vector<ExprNodeRecord> records = flatten(a(1).get(), identity());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_TRUE(same_record(records[0], ExprNodeRecord::variable(1, -1)));
}

TEST_F(GeneralConstraintRecords, TreesAreWrittenInPreOrderAndReadBack) {
  // Minus(Plus(a0, 2.5, Exp(a2)), Pow(a1, 3)), with the Exp reached through a view.
  const OwnedExpr exp_holder = node(T::func_sin, OwnedExpr(node(T::func_exp, a(2).get())).get());
  const OwnedExpr exp_view(exp_holder->GetExpr(0));
  const OwnedExpr sum = sum_of_a();
  sum->AddExpr(constant(2.5).get());
  sum->AddExpr(exp_view.get());
  const OwnedExpr tree = node(T::minus, sum.get(), OwnedExpr(node(T::func_pow, a(1).get(), constant(3).get())).get());
  ASSERT_EQ(describe(tree.get()), "Minus(Plus(x0, 2.5, &Exp(x2)), Pow(x1, 3))");

  const std::vector<ExprNodeRecord> records = flatten(tree.get(), identity());
  const std::vector<ExprNodeRecord> expected = {
      ExprNodeRecord::operation(2, -1), ExprNodeRecord::operation(3, 0), ExprNodeRecord::variable(0, 1),
      ExprNodeRecord::constant(2.5, 1), ExprNodeRecord::operation(9, 1), ExprNodeRecord::variable(2, 4),
      ExprNodeRecord::operation(8, 0), ExprNodeRecord::variable(1, 6),   ExprNodeRecord::constant(3.0, 6),
  };
  ASSERT_EQ(records.size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) EXPECT_TRUE(same_record(records[k], expected[k])) << k;

  const GeneralExprPtr back = read(records);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(describe(back.get()), "Minus(Plus(x0, 2.5, Exp(x2)), Pow(x1, 3))");
  // Every node of a tree read back belongs to the store.
  const OwnedExpr view(new cpp_impl::OriginGeneralExpr(back->GetChild(0)->shared_from_this()));
  view->AddExpr(b().get());
  EXPECT_STREQ(view->GetErrorText(), kAnotherModel);
  const OwnedExpr inner(new cpp_impl::OriginGeneralExpr(back->GetChild(1)->shared_from_this()));
  inner->SetExpr(1, b().get());
  EXPECT_STREQ(inner->GetErrorText(), kAnotherModel);
}

TEST_F(GeneralConstraintRecords, VariablesAreRenumberedAndRemovedOnesLeaveTheConstraintOut) {
  const std::vector<std::int32_t> table = {0, -1, 1};
  const VariableRenumbering compacted{table, 3};
  const OwnedExpr tree = node(T::divide, a(2).get(), a(0).get());
  const std::vector<ExprNodeRecord> records = flatten(tree.get(), compacted);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_TRUE(same_record(records[1], ExprNodeRecord::variable(1, 0)));
  EXPECT_TRUE(same_record(records[2], ExprNodeRecord::variable(0, 0)));
  EXPECT_TRUE(flatten(node(T::func_exp, a(1).get()).get(), compacted, false).empty());
  EXPECT_TRUE(flatten(OwnedExpr(variable(store_a, 7)).get(), identity(), false).empty());

  const auto kept = store_a->add_general_constraint(cpp_impl::share_node(node_of(tree.get()).Clone()), 2, "kept", nullptr);
  const auto result_removed =
      store_a->add_general_constraint(cpp_impl::share_node(node_of(tree.get()).Clone()), 1, "result removed", nullptr);
  const auto leaf_removed =
      store_a->add_general_constraint(cpp_impl::share_node(node_of(a(1).get()).Clone()), 0, "leaf removed", nullptr);
  const std::optional<GeneralConstraintRecord> record = cpp_impl::general_constraint_record(*kept, *store_a, compacted);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->name, "kept");
  EXPECT_EQ(record->result_variable, 1);
  EXPECT_EQ(record->nodes.size(), 3u);
  EXPECT_FALSE(cpp_impl::general_constraint_record(*result_removed, *store_a, compacted));
  EXPECT_FALSE(cpp_impl::general_constraint_record(*leaf_removed, *store_a, compacted));
  EXPECT_TRUE(cpp_impl::general_constraint_record(*leaf_removed, *store_a, identity()));
}

TEST_F(GeneralConstraintRecords, AVariableOfAnotherStoreCannotBeFlattened) {
  const OwnedExpr tree = node(T::func_exp, b().get());
  std::vector<ExprNodeRecord> records = {ExprNodeRecord::constant(1.0, -1)};
  EXPECT_TRUE(fails_with([&] { cpp_impl::flatten_general_expression(node_of(tree.get()), *store_a, identity(), records); },
                         405));
  EXPECT_EQ(records.size(), 1u);
}

TEST_F(GeneralConstraintRecords, RecordsThatAreNoCompleteTreeAreRefused) {
  using R = ExprNodeRecord;
  const std::vector<std::vector<R>> refused = {
      {},
      {R::operation(2, -1), R::constant(1, 0)},                    // minus lacks a child
      {R::operation(9, -1), R::constant(1, 0), R::constant(2, 0)},  // exp with two children
      {R::constant(1, -1), R::constant(2, 0)},                     // a constant with a child
      {R::operation(3, -1), R::constant(1, 2), R::constant(2, 0)},  // parent after its child
      {R::operation(3, -1), R::constant(1, 5)},                    // parent outside
      {R::operation(3, -1), R::constant(1, -1)},                   // a second root
      {R::constant(1, 0)},                                         // a root with a parent
      {R::operation(25, -1)},                                      // no such type
      {R::operation(3, -1), R::variable(-1, 0)},                   // a variable without index
  };
  for (std::size_t k = 0; k < refused.size(); ++k) EXPECT_EQ(read(refused[k]), nullptr) << k;
  EXPECT_NE(read({R::operation(3, -1)}), nullptr);

}

TEST_F(GeneralConstraintRecords, AMillionLevelsAreFlattened) {
  constexpr int kDepth = 1'000'000;
  GeneralExprPtr top = cpp_impl::share_node(node_of(OwnedExpr(a(0)).get()).Clone());
  for (int level = 0; level < kDepth; ++level) {
    cpp_impl::OwnedGeneralExpr parent(new cpp_impl::UnaryGeneralExpr(T::func_log));
    parent->AppendChild(std::move(top));
    top = cpp_impl::share_node(std::move(parent));
  }
  std::vector<ExprNodeRecord> records;
  ASSERT_TRUE(cpp_impl::flatten_general_expression(*top, *store_a, identity(), records));
  ASSERT_EQ(records.size(), static_cast<std::size_t>(kDepth) + 1);
  EXPECT_EQ(records.back().parent, kDepth - 1);
  EXPECT_EQ(records.back().variable_index(), 0);
}

}  // namespace
}  // namespace velorium::testing
