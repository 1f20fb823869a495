// General constraints: the factory's checks, the shared tree, removal and renaming in a store.
#include <gtest/gtest.h>

#include <string>

#include "core/general/general_constraint_wrapper.hpp"
#include "core/general/model_general_constraints.hpp"
#include "two_models_fixture.hpp"

namespace velorium::testing {
namespace {

using cpp_impl::GeneralConstraint;
using cpp_impl::GeneralConstraintWrapper;
using T = gen_expr_type;
using OwnedConstraint = Owned<IGeneralConstraint>;

class GeneralConstraints : public TwoModels {
 protected:
  Owned<IVariable> variable_a(std::int32_t index) const { return Owned<IVariable>(new cpp_impl::VariableImpl(store_a, index)); }
  Owned<IVariable> variable_b() const { return Owned<IVariable>(new cpp_impl::VariableImpl(store_b, 0)); }

  OwnedConstraint create(const IGeneralExpression* expr, const IVariable* var, const char* name) const {
    return OwnedConstraint(CreateGeneralConstraint(expr, var, name));
  }
  // Adds a general constraint a2 = tree to store A and returns a wrapper of the store's own.
  OwnedConstraint add(const IGeneralExpression* tree, const char* name) const {
    auto added = store_a->add_general_constraint(cpp_impl::share_node(node_of(tree).Clone()), 2, name, nullptr);
    return wrap(added);
  }
  OwnedConstraint wrap(std::shared_ptr<GeneralConstraint> data) const {
    return OwnedConstraint(new GeneralConstraintWrapper(store_a, std::move(data)));
  }
  std::string tree_of(IGeneralConstraint* gc) const { return describe(OwnedExpr(gc->GetExpression()).get()); }
  std::string name_at(int index) const { return store_a->general_constraint_at(index)->name; }
};

TEST_F(GeneralConstraints, TheFactoryChecksTheModelsOfTheTreeAgainstTheResultVariable) {
  const Owned<IVariable> y = variable_a(2);
  const OwnedExpr tree = sum_of_a();

  const OwnedConstraint unnamed = create(tree.get(), y.get(), nullptr);
  ASSERT_NE(unnamed, nullptr);
  EXPECT_STREQ(unnamed->GetName(), "");
  EXPECT_EQ(unnamed->GetErrorCode(), 0);
  const Owned<IVariable> result(unnamed->GetVariable());
  EXPECT_STREQ(result->GetName(), "a2");

  EXPECT_EQ(create(tree.get(), variable_b().get(), "c"), nullptr);
  EXPECT_NE(create(constant(4).get(), variable_b().get(), "c"), nullptr);
  EXPECT_EQ(create(nullptr, y.get(), "c"), nullptr);
  EXPECT_EQ(create(tree.get(), nullptr, "c"), nullptr);

  // A tree that reaches model B only through a view, or that mixes both models.
  const OwnedExpr holder = node(T::func_exp, OwnedExpr(node(T::plus)).get());
  const OwnedExpr view(holder->GetExpr(0));
  const OwnedExpr carrier = node(T::plus);
  carrier->AddExpr(view.get());
  EXPECT_NE(create(carrier.get(), y.get(), "c"), nullptr);
  view->AddExpr(b().get());
  EXPECT_EQ(create(carrier.get(), y.get(), "c"), nullptr);
  EXPECT_EQ(create(view.get(), y.get(), "c"), nullptr);
  EXPECT_NE(create(carrier.get(), variable_b().get(), "c"), nullptr);
  carrier->AddExpr(a(0).get());  // refused by the node itself, see the node tests
  EXPECT_EQ(carrier->GetExprCount(), 1);
}

TEST_F(GeneralConstraints, TheTreeIsACopyUnlessItWasAView) {
  const Owned<IVariable> y = variable_a(2);
  const OwnedExpr tree = sum_of_a();
  const OwnedConstraint gc = create(tree.get(), y.get(), "g");
  tree->AddExpr(constant(5).get());
  EXPECT_EQ(tree_of(gc.get()), "&Plus(x0)");

  // Made from a view: the general constraint follows the viewed node.
  const OwnedExpr view(gc->GetExpression());
  const OwnedConstraint follower = create(view.get(), y.get(), "f");
  view->AddExpr(constant(6).get());
  EXPECT_EQ(tree_of(gc.get()), "&Plus(x0, 6)");
  EXPECT_EQ(tree_of(follower.get()), "&Plus(x0, 6)");
  const OwnedExpr follower_view(follower->GetExpression());
  follower_view->RemoveExpr(0);
  EXPECT_EQ(tree_of(gc.get()), "&Plus(6)");
}

TEST_F(GeneralConstraints, WrappersOfOneStoredConstraintSeeEachOthersChanges) {
  const OwnedConstraint first = add(sum_of_a().get(), "g");
  const OwnedConstraint second = wrap(store_a->general_constraint_at(0));
  OwnedExpr(first->GetExpression())->AddExpr(a(1).get());
  EXPECT_EQ(tree_of(second.get()), "&Plus(x0, x1)");
  EXPECT_EQ(tree_of(wrap(store_a->general_constraint_by_name("g")).get()), "&Plus(x0, x1)");
  // The stored tree keeps model A.
  const OwnedExpr view(second->GetExpression());
  view->AddExpr(b().get());
  EXPECT_STREQ(view->GetErrorText(), kAnotherModel);
}

TEST_F(GeneralConstraints, AddingTheViewOfTheTreeToItselfGivesAFiniteTree) {
  const OwnedConstraint gc = add(sum_of_a().get(), "g");
  const OwnedExpr e(gc->GetExpression());
  e->AddExpr(e.get());  // Python: e = gc.get_expression(); e += e
  EXPECT_EQ(e->GetErrorCode(), 0);
  EXPECT_EQ(tree_of(gc.get()), "&Plus(x0, Plus(x0))");
  e->AddExpr(e.get());
  EXPECT_EQ(tree_of(gc.get()), "&Plus(x0, Plus(x0), Plus(x0, Plus(x0)))");
  EXPECT_TRUE(node_of(e.get()).IsComplete());
}

TEST_F(GeneralConstraints, RemoveTakesItOutOfTheStoreAndLeavesTheWrapperWorking) {
  const OwnedConstraint g0 = add(constant(0).get(), "g0");
  const OwnedConstraint g1 = add(constant(1).get(), "g1");
  const OwnedConstraint g2 = add(constant(2).get(), "g2");
  g0->Remove();
  EXPECT_EQ(g0->GetErrorCode(), 0);
  ASSERT_EQ(store_a->general_constraint_count(), 2);
  EXPECT_EQ(name_at(0), "g2");  // the last one moved into the freed place
  EXPECT_EQ(name_at(1), "g1");
  EXPECT_EQ(store_a->general_constraint_by_name("g2"), store_a->general_constraint_at(0));
  EXPECT_TRUE(fails_with([&] { store_a->general_constraint_by_name("g0"); }, 462, "g0"));
  EXPECT_FALSE(store_a->holds_general_constraint(*dynamic_cast<GeneralConstraintWrapper&>(*g0).data()));
  EXPECT_STREQ(g0->GetName(), "g0");
  EXPECT_EQ(tree_of(g0.get()), "&0");
  g0->Remove();  // no longer in the store: nothing happens
  EXPECT_EQ(store_a->general_constraint_count(), 2);

  g1->Remove();
  g2->Remove();
  EXPECT_EQ(store_a->general_constraint_count(), 0);
  EXPECT_TRUE(store_a->gc_index_by_name.empty());
  EXPECT_TRUE(store_a->gc_index_by_object.empty());

  // A free general constraint is in no store.
  const OwnedConstraint free_gc = create(constant(1).get(), variable_a(0).get(), "free");
  store_a->add_general_constraint_copy(*dynamic_cast<GeneralConstraintWrapper&>(*free_gc).data(), nullptr);
  free_gc->Remove();
  EXPECT_EQ(store_a->general_constraint_count(), 1);
}

TEST_F(GeneralConstraints, RemovingOneOfTwoOfTheSameNameLeavesTheOtherFoundByIt) {
  const OwnedConstraint earlier = add(constant(1).get(), "g");
  const OwnedConstraint later = add(constant(2).get(), "g");
  const OwnedConstraint other = add(constant(3).get(), "h");
  EXPECT_EQ(tree_of(wrap(store_a->general_constraint_by_name("g")).get()), "&2");
  later->SetName("k");
  EXPECT_EQ(tree_of(wrap(store_a->general_constraint_by_name("g")).get()), "&1");
  later->SetName("g");  // taken now: a unique name instead
  EXPECT_STRNE(later->GetName(), "g");
  EXPECT_EQ(tree_of(wrap(store_a->general_constraint_by_name("g")).get()), "&1");
  const OwnedConstraint third = add(constant(4).get(), "g");
  EXPECT_EQ(tree_of(wrap(store_a->general_constraint_by_name("g")).get()), "&4");
  third->Remove();
  EXPECT_EQ(tree_of(wrap(store_a->general_constraint_by_name("g")).get()), "&1");
  later->Remove();
  EXPECT_EQ(tree_of(wrap(store_a->general_constraint_by_name("g")).get()), "&1");
  EXPECT_EQ(tree_of(wrap(store_a->general_constraint_by_name("h")).get()), "&3");
  earlier->Remove();
  EXPECT_TRUE(fails_with([&] { store_a->general_constraint_by_name("g"); }, 462, "g"));
  EXPECT_EQ(store_a->general_constraint_count(), 1);
}

TEST_F(GeneralConstraints, SetNameRenamesWithinTheStoreAndKeepsNamesUnique) {
  store_a->add_row(Expression{}, 0.0, 1.0, "row", nullptr);
  const OwnedConstraint g = add(constant(1).get(), "g");
  const OwnedConstraint h = add(constant(2).get(), "h");

  g->SetName("renamed");
  EXPECT_EQ(g->GetErrorCode(), 0);
  EXPECT_STREQ(g->GetName(), "renamed");
  EXPECT_EQ(store_a->general_constraint_by_name("renamed"), store_a->general_constraint_at(0));
  EXPECT_TRUE(fails_with([&] { store_a->general_constraint_by_name("g"); }, 462, "g"));

  g->SetName("renamed");
  EXPECT_STREQ(g->GetName(), "renamed");
  h->SetName("renamed");
  const std::string unique = h->GetName();
  EXPECT_EQ(unique.rfind("renamed#", 0), 0u) << unique;
  EXPECT_EQ(store_a->general_constraint_by_name(unique), store_a->general_constraint_at(1));
  EXPECT_EQ(store_a->general_constraint_by_name("renamed"), store_a->general_constraint_at(0));
  h->SetName("row");
  EXPECT_EQ(std::string(h->GetName()).rfind("row#", 0), 0u) << h->GetName();
  h->SetName(nullptr);
  EXPECT_EQ(std::string(h->GetName()).rfind("GC#", 0), 0u) << h->GetName();

  h->SetName(" lead");
  EXPECT_EQ(h->GetErrorCode(), -1);
  EXPECT_EQ(h->GetErrorText(), catalogue_text(137));
  EXPECT_EQ(std::string(h->GetName()).rfind("GC#", 0), 0u);

  // A free general constraint takes any name.
  const OwnedConstraint free_gc = create(constant(1).get(), variable_a(0).get(), "free");
  free_gc->SetName("renamed");
  EXPECT_STREQ(free_gc->GetName(), "renamed");
  free_gc->SetName(nullptr);
  EXPECT_STREQ(free_gc->GetName(), "");
  EXPECT_EQ(store_a->general_constraint_count(), 2);
}

TEST_F(GeneralConstraints, TheModelAddsOnlyTreesAndVariablesOfItsOwn) {
  const Owned<IVariable> y = variable_a(2);
  const OwnedExpr tree = sum_of_a();
  const auto added = cpp_impl::add_general_constraint_to(*store_a, tree.get(), y.get(), nullptr);
  EXPECT_EQ(added->name, "GC#0");
  EXPECT_EQ(added->result_variable, 2);
  EXPECT_EQ(store_a->general_constraint_at(0), added);
  tree->AddExpr(constant(1).get());
  EXPECT_EQ(describe(added->expression.get()), "Plus(x0)");

  EXPECT_TRUE(fails_with([&] { cpp_impl::add_general_constraint_to(*store_a, nullptr, y.get(), "c"); }, 391));
  EXPECT_TRUE(fails_with([&] { cpp_impl::add_general_constraint_to(*store_a, tree.get(), nullptr, "c"); }, 394));
  EXPECT_TRUE(fails_with([&] { cpp_impl::add_general_constraint_to(*store_a, tree.get(), variable_b().get(), "c"); }, 394));
  EXPECT_TRUE(fails_with([&] { cpp_impl::add_general_constraint_to(*store_b, tree.get(), variable_b().get(), "c"); }, 405));
  const OwnedExpr holder = node(T::func_exp, OwnedExpr(node(T::plus)).get());
  const OwnedExpr view(holder->GetExpr(0));
  const OwnedExpr carrier = node(T::plus);
  carrier->AddExpr(view.get());
  view->AddExpr(b().get());
  EXPECT_TRUE(fails_with([&] { cpp_impl::add_general_constraint_to(*store_a, carrier.get(), y.get(), "c"); }, 405));
  EXPECT_EQ(store_a->general_constraint_count(), 1);
}

TEST_F(GeneralConstraints, TheModelAddsCopiesOfGeneralConstraintObjectsOfItsOwn) {
  const OwnedConstraint own = wrap(cpp_impl::add_general_constraint_to(*store_a, sum_of_a().get(), variable_a(2).get(), "g"));
  const auto copy = cpp_impl::add_general_constraint_object_to(*store_a, own.get());
  EXPECT_NE(copy, store_a->general_constraint_at(0));
  EXPECT_EQ(describe(copy->expression.get()), "Plus(x0)");
  // Additions check a name against the rows only: both keep "g", and the name finds the copy.
  EXPECT_EQ(copy->name, "g");
  EXPECT_EQ(store_a->general_constraint_by_name("g"), copy);
  const OwnedConstraint free_a = create(constant(1).get(), variable_a(0).get(), "free");
  EXPECT_EQ(cpp_impl::add_general_constraint_object_to(*store_a, free_a.get())->name, "free");
  const OwnedConstraint free_b = create(constant(1).get(), variable_b().get(), "other");
  EXPECT_TRUE(fails_with([&] { cpp_impl::add_general_constraint_object_to(*store_a, free_b.get()); }, 405));
  EXPECT_TRUE(fails_with([&] { cpp_impl::add_general_constraint_object_to(*store_a, nullptr); }, 402));
  EXPECT_EQ(store_a->general_constraint_count(), 3);

  EXPECT_TRUE(fails_with([&] { cpp_impl::remove_general_constraint_from(*store_b, own.get()); }, 397));
  EXPECT_TRUE(fails_with([&] { cpp_impl::remove_general_constraint_from(*store_a, nullptr); }, 402));
  cpp_impl::remove_general_constraint_from(*store_a, free_a.get());
  EXPECT_EQ(store_a->general_constraint_count(), 3);
  cpp_impl::remove_general_constraint_from(*store_a, own.get());
  EXPECT_EQ(store_a->general_constraint_count(), 2);
  EXPECT_FALSE(store_a->holds_general_constraint(*dynamic_cast<GeneralConstraintWrapper&>(*own).data()));
}

}  // namespace
}  // namespace velorium::testing
