// Trees of linear and quadratic expression records, compared structurally.
#include "core/general/expression_conversion.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base/catalogue_error.hpp"
#include "core/text/message_catalogue.hpp"
#include "general_expr_test_support.hpp"

namespace velorium::testing {
namespace {

constexpr int x = 0, y = 1, z = 2, w = 3;

Expression terms(std::vector<QuadTerm> quadratic, std::vector<LinearTerm> linear, double constant) {
  Expression expression;
  expression.quadratic_terms = std::move(quadratic);
  expression.linear_terms.assign(linear.begin(), linear.end());
  expression.constant = constant;
  return expression;
}

std::string converted(const Expression& expression) {
  const cpp_impl::OwnedGeneralExpr tree = cpp_impl::expression_to_tree(expression, {});
  EXPECT_TRUE(tree->IsComplete());
  return describe(tree.get());
}

TEST(ExpressionConversion, TheSevenShapesOfTree) {
  struct Case {
    const char* expression;
    Expression terms;
    const char* tree;
  };
  const std::vector<Case> cases = {
      {"2x + 3", terms({}, {{x, 2.0}}, 3.0), "Plus(Multiply(2, x0), 3)"},
      {"x + y + 5", terms({}, {{x, 1.0}, {y, 1.0}}, 5.0), "Plus(x0, x1, 5)"},
      {"xy + x + y", terms({{x, y, 1.0}}, {{x, 1.0}, {y, 1.0}}, 0.0), "Plus(x0, x1, Multiply(x0, x1))"},
      {"x^2 + y^2 + z", terms({{x, x, 1.0}, {y, y, 1.0}}, {{z, 1.0}}, 0.0),
       "Plus(Multiply(x0, x0), Multiply(x1, x1), x2)"},
      {"x^2 + y^2 + z + w", terms({{x, x, 1.0}, {y, y, 1.0}}, {{z, 1.0}, {w, 1.0}}, 0.0),
       "Plus(Multiply(x0, x0), Multiply(x1, x1), Plus(x2, x3))"},
      {"3x^2 + 1e-15", terms({{x, x, 3.0}}, {}, 1e-15), "Multiply(3, x0, x0)"},
      {"0", terms({}, {}, 0.0), "0"},
  };
  for (const Case& c : cases) EXPECT_EQ(converted(c.terms), c.tree) << c.expression;
}

TEST(ExpressionConversion, NothingIsSimplifiedBeyondACoefficientOfExactlyOne) {
  EXPECT_EQ(converted(terms({}, {{x, 0.0}, {y, -1.0}, {x, 1.0}}, 0.0)), "Plus(Multiply(0, x0), Multiply(-1, x1), x0)");
  EXPECT_EQ(converted(terms({{x, x, 1.0}}, {}, 0.0)), "Multiply(x0, x0)");
  EXPECT_EQ(converted(terms({{y, x, 1.0 + 1e-15}}, {}, 0.0)), "Multiply(1, x1, x0)");
  EXPECT_EQ(converted(terms({{x, y, 2.0}}, {{z, 4.0}}, -2.0)), "Plus(Multiply(2, x0, x1), Multiply(4, x2), -2)");
  EXPECT_EQ(converted(terms({}, {}, 1e-15)), "1e-15");
  EXPECT_EQ(converted(terms({}, {}, 7.0)), "7");
}

TEST(ExpressionConversion, TermsThatCannotBeFetchedGiveANodeCarryingTheFailure) {
  const Expression sum = terms({}, {{x, 1.0}, {y, 1.0}}, 5.0);
  const OwnedExpr converted(cpp_impl::converted_expression_node([&]() -> const Expression& { return sum; }, {}));
  EXPECT_EQ(describe(converted.get()), "Plus(x0, x1, 5)");
  EXPECT_EQ(converted->GetErrorCode(), 0);

  for (int message : {110, 111}) {
    const OwnedExpr failed(cpp_impl::converted_expression_node(
        [message]() -> const Expression& { throw_catalogue_error(message, 4); }, {}));
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->GetErrorCode(), -1);
    EXPECT_EQ(failed->GetErrorText(), formatString(get_message(message), 4));
    EXPECT_EQ(failed->GetType(), gen_expr_type::constant);
  }
  EXPECT_STREQ(get_message(111), "Объект с индексом [%i] удален");
}

}  // namespace
}  // namespace velorium::testing
