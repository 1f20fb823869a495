// The factories from linear and quadratic expression objects: the whole store is converted,
// whichever face is passed, and a view of a removed row gives a node that says so.
#include <gtest/gtest.h>

#include <string>

#include "core/expressions/expression_views.hpp"
#include "general_expr_test_support.hpp"
#include "support/expression_fixture.hpp"

namespace velorium::testing {
namespace {

class ExpressionObjectConversion : public ExpressionFixture {
 protected:
  void SetUp() override {
    ExpressionFixture::SetUp();
    w = add_variable(model, "w");
  }

  // Linear terms (var, coefficient) and quadratic terms (var, var, coefficient) in this order.
  IQuadExpression* quad_of(std::initializer_list<std::tuple<IVariable*, IVariable*, double>> quad_terms,
                           std::initializer_list<std::pair<IVariable*, double>> linear_terms, double constant) {
    IQuadExpression* expression = quadratic();
    for (const auto& [a, b, c] : quad_terms) expression->AddTerm(a, b, c);
    ILinearExpression* linear_face = own(expression->GetLinearPart());
    for (const auto& [v, c] : linear_terms) linear_face->AddTerm(v, c);
    linear_face->SetConstant(constant);
    return expression;
  }
  std::string tree_of(const IQuadExpression* expression) {
    const OwnedExpr tree(CreateGeneralExpression(expression));
    EXPECT_EQ(tree->GetErrorCode(), 0);
    return describe(tree.get());
  }

  IVariable* w = nullptr;
};

TEST_F(ExpressionObjectConversion, TheSevenShapesOfTreeFromExpressionObjects) {
  EXPECT_EQ(tree_of(quad_of({}, {{x, 2.0}}, 3.0)), "Plus(Multiply(2, x0), 3)");
  EXPECT_EQ(tree_of(quad_of({}, {{x, 1.0}, {y, 1.0}}, 5.0)), "Plus(x0, x1, 5)");
  EXPECT_EQ(tree_of(quad_of({{x, y, 1.0}}, {{x, 1.0}, {y, 1.0}}, 0.0)), "Plus(x0, x1, Multiply(x0, x1))");
  EXPECT_EQ(tree_of(quad_of({{x, x, 1.0}, {y, y, 1.0}}, {{z, 1.0}}, 0.0)),
            "Plus(Multiply(x0, x0), Multiply(x1, x1), x2)");
  EXPECT_EQ(tree_of(quad_of({{x, x, 1.0}, {y, y, 1.0}}, {{z, 1.0}, {w, 1.0}}, 0.0)),
            "Plus(Multiply(x0, x0), Multiply(x1, x1), Plus(x2, x3))");
  EXPECT_EQ(tree_of(quad_of({{x, x, 3.0}}, {}, 1e-15)), "Multiply(3, x0, x0)");
  EXPECT_EQ(tree_of(quadratic()), "0");
}

TEST_F(ExpressionObjectConversion, TheLinearFaceConvertsTheQuadraticTermsToo) {
  IQuadExpression* expression = quad_of({{x, y, 2.0}}, {{z, 1.0}}, 0.0);
  ILinearExpression* linear_face = own(expression->GetLinearPart());
  const OwnedExpr tree(CreateGeneralExpression(static_cast<const ILinearExpression*>(linear_face)));
  EXPECT_EQ(describe(tree.get()), "Plus(Multiply(2, x0, x1), x2)");
  // The tree belongs to the expression's model.
  const auto other = std::make_shared<cpp_impl::ModelBuilder>();
  const OwnedExpr stranger(CreateGeneralExpression(static_cast<const IVariable*>(add_variable(other, "s"))));
  tree->AddExpr(stranger.get());
  EXPECT_TRUE(failed(tree.get(), 405));
  EXPECT_EQ(CreateGeneralExpression(static_cast<const ILinearExpression*>(nullptr)), nullptr);
  EXPECT_EQ(CreateGeneralExpression(static_cast<const IQuadExpression*>(nullptr)), nullptr);
}

TEST_F(ExpressionObjectConversion, AViewOfARemovedRowGivesANodeCarryingTheFailure) {
  Expression terms;
  terms.linear_terms = {{0, 1.0}, {1, 2.0}};
  const std::int32_t row = add_row(terms, "r");
  ILinearExpression* view = own(cpp_impl::make_linear_view(cpp_impl::expr_data::make_row_view(model, row)));
  EXPECT_EQ(describe(OwnedExpr(CreateGeneralExpression(static_cast<const ILinearExpression*>(view))).get()),
            "Plus(x0, Multiply(2, x1))");
  model->remove_row(row);
  const OwnedExpr gone(CreateGeneralExpression(static_cast<const ILinearExpression*>(view)));
  ASSERT_NE(gone, nullptr);
  EXPECT_TRUE(failed(gone.get(), 111, row));
  EXPECT_STREQ(gone->GetErrorText(), ("Объект с индексом [" + std::to_string(row) + "] удален").c_str());
}

}  // namespace
}  // namespace velorium::testing
