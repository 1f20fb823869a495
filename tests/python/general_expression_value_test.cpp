// The general expression value: which nodes it may hand to the library as they are, the copy
// that unfolds views, and the private chains of the in-place operators.
#include <gtest/gtest.h>

#include "python/text/object_text.hpp"
#include "python/wrappers/general_arithmetic.hpp"
#include "python/wrappers/general_tree_copy.hpp"
#include "tests/python/model_fixture.hpp"

namespace velorium::testing {
namespace {

using T = gen_expr_type;

class GeneralValues : public ModelFixture {
 protected:
  GeneralExpression sine(const Variable& v) { return make_node(T::func_sin, make_general_expression(v)); }
  static std::string text(const GeneralExpression& g) { return general_expression_repr(g); }
};

TEST_F(GeneralValues, OnlyNodesBuiltFromCopiesAreHandedOverAsTheyAre) {
  const GeneralExpression built = sine(x) + 1.0;
  EXPECT_TRUE(built.is_independent());
  EXPECT_EQ(built.detached().get_interface(), built.get_interface());
  const GeneralExpression view = built.get_expr(0);
  EXPECT_FALSE(view.is_independent());
  const GeneralExpression copy = view.detached();
  EXPECT_TRUE(copy.is_independent());
  EXPECT_NE(copy.get_interface(), view.get_interface());
  EXPECT_EQ(text(copy), "sin(x)");
  // Raw nodes from the library are not trusted to be free of views.
  EXPECT_FALSE(GeneralExpression(CreateGeneralExpression(1.0)).is_independent());
}

TEST_F(GeneralValues, TheLibrarysCopyOfAViewSharesItsNodeAndOursDoesNot) {
  GeneralExpression tree = sine(x) + 1.0;
  GeneralExpression with_view(CreateGeneralExpression(T::plus));
  // A tree that holds a view of the sine inside `tree`, as the library attaches one.
  GeneralExpression view = tree.get_expr(0);
  with_view.call(&IGeneralExpression::AddExpr, view.InterfaceValue::get_interface());
  const GeneralExpression libraries = GeneralExpression(with_view.reader().object().CreateFreeCopy());
  const GeneralExpression ours = copy_general_tree(with_view);
  view.set_expr(0, make_general_expression(y));
  EXPECT_EQ(text(tree), "sin(y)+1");
  EXPECT_EQ(text(libraries), "sin(y)");
  EXPECT_EQ(text(ours), "sin(x)");
}

TEST_F(GeneralValues, AnInPlaceChainIsSettledBeforeAnythingElseReachesIt) {
  GeneralExpression g = sine(x);
  for (int i = 0; i < 3; ++i) g -= 1.0;
  EXPECT_EQ(text(g), "((sin(x)-1)-1)-1");
  EXPECT_FALSE(g.is_independent());
  g += 2.0;
  const GeneralExpression shared = g;  // a copy settles the chain: both hold one independent tree
  EXPECT_TRUE(g.is_independent());
  EXPECT_EQ(shared.get_interface(), g.get_interface());
  g += 3.0;
  EXPECT_EQ(text(shared), "(((sin(x)-1)-1)-1)+2+3");

  GeneralExpression h = sine(y);
  h /= 2.0;
  IGeneralExpression* node = h.get_interface();  // handed to the library: settled first
  EXPECT_TRUE(h.is_independent());
  EXPECT_EQ(node, h.get_interface());
  EXPECT_EQ(text(h), "sin(y)/2");
}

TEST_F(GeneralValues, ARefusedInPlaceOperandLeavesTheValueAsItWas) {
  Model other;
  const Variable w = other.add_variable(0.0, 1.0, 0.0, variable_type::continuous, "w");
  GeneralExpression g = sine(x);
  g -= 1.0;
  IGeneralExpression* before = g.reader().InterfaceValue::get_interface();
  EXPECT_THROW(g *= sine(w), velorium_exception);
  EXPECT_THROW(g /= sine(w), velorium_exception);
  EXPECT_EQ(g.reader().InterfaceValue::get_interface(), before);
  EXPECT_EQ(text(g), "sin(x)-1");
}

}  // namespace
}  // namespace velorium::testing
