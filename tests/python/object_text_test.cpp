// The texts of variables, expressions, constraints and general expressions, byte for byte.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/text/message_catalogue.hpp"
#include "python/text/object_text.hpp"
#include "tests/python/fake_library_objects.hpp"
#include "tests/python/model_fixture.hpp"

namespace velorium::testing {
namespace {

using T = gen_expr_type;

class ObjectText : public ModelFixture {
 protected:
  GeneralExpression leaf(const Variable& variable) { return make_general_expression(variable.get_interface()); }
  GeneralExpression number(double value) { return make_general_expression(value); }

  // A plus or multiply node over `children`.
  GeneralExpression nary(T type, const std::vector<GeneralExpression>& children) {
    GeneralExpression result(CreateGeneralExpression(type));
    for (const GeneralExpression& child : children) result.add_expr(child);
    return result;
  }
  GeneralExpression node(T type, const GeneralExpression& a, const GeneralExpression& b) {
    return GeneralExpression(CreateGeneralExpression(type, a.get_interface(), b.get_interface()));
  }
  GeneralExpression node(T type, const GeneralExpression& a) {
    return GeneralExpression(CreateGeneralExpression(type, a.get_interface()));
  }

  std::string text(const LinearExpression& expression) { return expression_repr(expression, expression.get_quad_part()); }
};

TEST_F(ObjectText, Variables) {
  EXPECT_EQ(variable_repr(x), "Continuous: 0 <= x <= inf");
  EXPECT_EQ(variable_repr(add("b", variable_type::binary, 0.0, 1.0)), "Binary: 0 <= b <= 1");
  EXPECT_EQ(variable_repr(add("n", variable_type::integer, -3.0, 1234.0)), "Integer: -3 <= n <= 1.23e+03");
  EXPECT_EQ(variable_repr(add("s", variable_type::semicontinuous, 0.0001, 2.5)), "Semicontinuous: 0.0001 <= s <= 2.5");
  EXPECT_EQ(variable_repr(add("t", variable_type::semiinteger, -kVeloriumInf, 7.0)), "Semiinteger: -inf <= t <= 7");

  // A type outside the enumeration keeps its old name, spelt with a Cyrillic first letter.
  FakeVariable unknown;
  unknown.type = static_cast<variable_type>(9);
  const std::string text = variable_repr(adopt<Variable>(&unknown));
  EXPECT_EQ(text, "\xD0\xA1ontinuous: 0 <= v <= 1");
  EXPECT_EQ(text.find(':'), 11u);
}

TEST_F(ObjectText, LinearAndQuadraticExpressions) {
  struct Case {
    double a, b, constant;
    const char* expected;
  };
  const Case cases[] = {
      {1.0, 2.0, 5.0, " + 1*x + 2*y + 5"},
      {1234.5, -0.5, 0.0, " + 1.23e+03*x - 0.5*y"},
      {1.0, 0.0, -4.0, " + 1*x - 4"},
      {-1.0, 1e-4, 1234.5, " - 1*x + 0.0001*y + 1.23e+03"},
      {0.0, 0.0, 1234.5, " + 1234.5"},
      {0.0, 0.0, -0.25, " - 0.25"},
      {0.0, 0.0, 0.0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(text(linear(c.a, c.b, c.constant)), c.expected) << c.expected;

  // A coefficient of 0 takes the minus sign.
  LinearExpression zero = linear(1.0, 0.0, 0.0);
  zero.set_term_coeff(0, 0.0);
  EXPECT_EQ(text(zero), " - 0*x");

  QuadExpression quadratic = adopt<QuadExpression>(CreateQuadExpression());
  quadratic.add_term(x, y, 3.0);
  EXPECT_EQ(expression_repr(quadratic.get_linear_part(), quadratic), " + 3*x*y");
  quadratic.add_term(z, z, -1.0);
  quadratic.add_expression(linear(2.0, 0.0, 5.0), 1.0);
  const std::string both = " + 3*x*y - 1*z*z  + 2*x + 5";
  EXPECT_EQ(expression_repr(quadratic.get_linear_part(), quadratic), both);
  // Both views of one store read the same.
  EXPECT_EQ(text(quadratic.get_linear_part()), both);
}

TEST_F(ObjectText, Constraints) {
  Constraint named = model.add_constraint(linear(1.0, 2.0, 0.0), 0.0, 10.0, "c1");
  EXPECT_EQ(constraint_repr(named), "c1: 0 <= + 1*x + 2*y <= 10");

  Constraint free_row(linear(1.0, 0.0, 0.0), constraint_sense::less_equal, 10.0);
  EXPECT_EQ(constraint_repr(free_row), "-inf <= + 1*x <= 10");

  Constraint no_terms(linear(0.0, 0.0, 0.0), constraint_sense::greater_equal, 0.0);
  no_terms.set_upper_bound(10.0);
  EXPECT_EQ(constraint_repr(no_terms), "0 <= <= 10");

  QuadExpression quadratic = adopt<QuadExpression>(CreateQuadExpression());
  quadratic.add_term(x, x, 1.5);
  Constraint quad_row = model.add_constraint(quadratic, constraint_sense::equal, 2.0, "q");
  EXPECT_EQ(constraint_repr(quad_row), "q: 2 <= + 1.5*x*x <= 2");
}

TEST_F(ObjectText, AFailedReadGivesNoText) {
  QuadExpression quadratic = adopt<QuadExpression>(CreateQuadExpression());
  quadratic.add_term(x, y, 1.0);
  model.remove(y);
  try {
    expression_repr(quadratic.get_linear_part(), quadratic);
    FAIL() << "no exception";
  } catch (const velorium_exception& failure) {
    EXPECT_STREQ(failure.what(), get_message(406));
  }
}

TEST_F(ObjectText, GeneralExpressions) {
  const GeneralExpression a = leaf(x), b = leaf(y), c = leaf(z);
  const GeneralExpression sine = node(T::func_sin, a);
  struct Case {
    GeneralExpression expression;
    const char* expected;
  };
  const Case cases[] = {
      {nary(T::plus, {a, nary(T::multiply, {number(2.0), b}), number(-3.0)}), "x+2*y-3"},
      {nary(T::multiply, {a, number(-1.0)}), "x*(-1)"},
      {node(T::minus, a, nary(T::plus, {b, c})), "x-(y+z)"},
      {node(T::func_square_root, nary(T::plus, {a, number(1.0)})), "sqrt(x+1)"},
      {node(T::func_pow, a, number(2.0)), "pow(x, 2)"},
      {node(T::func_signpow, a, number(2.5)), "signpow(x, 2.5)"},
      {nary(T::multiply, {number(-1.0), sine}), "-1*sin(x)"},
      {nary(T::plus, {sine, number(1.0)}), "sin(x)+1"},
      {node(T::minus, sine, number(1.0)), "sin(x)-1"},
      {nary(T::plus, {nary(T::multiply, {sine, number(-1.0)}), number(1.0)}), "sin(x)*(-1)+1"},
      {node(T::divide, a, node(T::minus, sine, b)), "x/(sin(x)-y)"},
      {nary(T::plus, {a, nary(T::plus, {b, c})}), "x+(y+z)"},
      // The sign of a term or a factor is found at the front of its first operand.
      {nary(T::multiply, {a, nary(T::multiply, {number(-2.0), b})}), "x*(-2*y)"},
      {nary(T::plus, {a, node(T::divide, number(-1.0), b)}), "x-1/y"},
      {nary(T::plus, {a, node(T::minus, number(-1.0), b)}), "x+(-1-y)"},
      {number(1234.5), "1234.5"},
      {number(0.1), "0.1"},
      {number(1e20), "1e+20"},
      {nary(T::plus, {}), ""},
      {node(T::func_square_root, nary(T::plus, {})), "sqrt()"},
      {nary(T::multiply, {a, nary(T::multiply, {})}), "x*"},
      {node(T::func_exp, node(T::func_log10, node(T::func_tanh, c))), "exp(log10(tanh(z)))"},
  };
  for (const Case& each : cases) EXPECT_EQ(general_expression_repr(each.expression), each.expected) << each.expected;
  EXPECT_EQ(operand_text(nary(T::plus, {a, b})), "(x+y)");
  EXPECT_EQ(operand_text(sine), "sin(x)");
}

TEST_F(ObjectText, GeneralConstraints) {
  GeneralExpression root(CreateGeneralExpression(T::plus));
  root.add_expr(leaf(x));
  root.add_expr(number(1.0));
  GeneralExpression formula(CreateGeneralExpression(T::func_square_root, root.get_interface()));
  EXPECT_EQ(general_constraint_repr(model.add_general_constraint(formula, y, "gc")), "gc: y == sqrt(x+1)");
  EXPECT_EQ(general_constraint_repr(GeneralConstraint(formula, z, nullptr)), "z == sqrt(x+1)");
}

TEST_F(ObjectText, AHundredThousandLevelsAreWrittenWithoutRecursion) {
  // Built top down through views, so that every step attaches one empty node.
  constexpr int kDepth = 100'000;
  GeneralExpression root(CreateGeneralExpression(T::plus));
  root.add_expr(leaf(x));
  GeneralExpression level = root;
  for (int i = 1; i < kDepth; ++i) {
    level.add_expr(GeneralExpression(CreateGeneralExpression(T::plus)));
    level = level.get_expr(level.get_expr_count() - 1);
  }
  level.add_expr(leaf(y));
  const std::string text = general_expression_repr(root);
  // Every level below the root is a parenthesised operand.
  EXPECT_EQ(text, "x+" + std::string(kDepth - 1, '(') + "y" + std::string(kDepth - 1, ')'));
}

}  // namespace
}  // namespace velorium::testing
