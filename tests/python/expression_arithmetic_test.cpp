// The wrapper arithmetic of linear and quadratic expressions: products in their order, the
// scaling of a whole store, checks after every library call, comparisons, powers and sums.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "python/text/object_text.hpp"
#include "python/wrappers/expression_arithmetic.hpp"
#include "python/wrappers/expression_comparisons.hpp"
#include "python/wrappers/expression_power.hpp"
#include "python/wrappers/expression_scaling.hpp"
#include "python/wrappers/expression_sum.hpp"
#include "tests/python/model_fixture.hpp"

namespace velorium::testing {
namespace {

class Arithmetic : public ModelFixture {
 protected:
  std::string text(const LinearExpression& e) { return expression_repr(e, e.get_quad_part()); }
  std::string text(const QuadExpression& q) { return expression_repr(q.get_linear_part(), q); }

  // The message of the velorium_exception that `work` throws, or "no exception".
  template <class Work>
  static std::string failure_of(Work&& work) {
    try {
      work();
    } catch (const velorium_exception& failure) {
      return failure.what();
    }
    return "no exception";
  }
};

TEST_F(Arithmetic, ProductsKeepTheirOrderAndMergeLikeTerms) {
  struct Case {
    LinearExpression a, b;
    const char* product;
  };
  const Case cases[] = {
      // Quadratic terms a-major, then k_a times b, k_b times a, and k_a k_b.
      {linear(2.0, 0.0, 3.0), linear(1.0, 0.0, -1.0), " + 2*x*x  + 1*x - 3"},
      {linear(1.0, 1.0, 0.0), linear(0.0, 1.0, 2.0), " + 1*x*y + 1*y*y  + 2*x + 2*y"},
      {linear(1.0, 0.0, 0.0), linear(0.0, 0.0, 4.0), " + 4*x"},
      {linear(0.0, 0.0, 2.0), linear(0.0, 0.0, 4.0), " + 8"},
      {linear(0.0, 0.0, 0.0), linear(1.0, 1.0, 1.0), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(text(c.a * c.b), c.product) << text(c.a) << " times " << text(c.b);
  EXPECT_EQ(text(multiply(linear(2.0, 0.0, 3.0), y, 1.0)), " + 2*y*x  + 3*y");
  EXPECT_EQ(text(multiply(linear(0.0, 0.0, 0.0), y, 1.0)), "");
  EXPECT_EQ(text(multiply(linear(1.0, 0.0, 1.0), y, -2.0)), " - 2*y*x  - 2*y");
}

TEST_F(Arithmetic, AProductOfAStoreWithQuadraticTermsIsRefused) {
  LinearExpression mixed = linear(1.0, 0.0, 0.0) + (x * y);
  EXPECT_EQ(failure_of([&] { multiply(mixed, z, 1.0); }), kProductNotQuadratic);
  EXPECT_EQ(failure_of([&] { mixed * linear(1.0, 0.0, 0.0); }), kProductNotQuadratic);
  EXPECT_EQ(failure_of([&] { linear(1.0, 0.0, 0.0) * mixed; }), kProductNotQuadratic);
}

TEST_F(Arithmetic, ScalingTakesEveryCoefficientOfTheStoreOnce) {
  QuadExpression q = x * y;
  q.add_expression(linear(2.0, 0.0, 4.0), 1.0);
  LinearExpression view = q.get_linear_part();
  view *= 0.5;
  EXPECT_EQ(text(q), " + 0.5*x*y  + 1*x + 2");
  q /= 0.25;
  EXPECT_EQ(text(q), " + 2*x*y  + 4*x + 8");
  EXPECT_EQ(text(-q), " - 2*x*y  - 4*x - 8");
}

TEST_F(Arithmetic, ScalingToANumberThatIsNotFiniteChangesNothing) {
  QuadExpression q = x * y;
  q.add_expression(linear(2.0, 0.0, 0.0), 1.0);
  for (double operand : {0.0, -0.0}) {
    EXPECT_EQ(failure_of([&] { scale_store(q.get_linear_part(), q, Scaling::divide, operand); }),
              "Неконечное значение");
  }
  EXPECT_EQ(failure_of([&] { scale_store(q.get_linear_part(), q, Scaling::multiply, 1e308); }),
            "Неконечное значение");
  EXPECT_EQ(text(q), " + 1*x*y  + 2*x");
}

TEST_F(Arithmetic, EveryCallIsCheckedAtOnce) {
  Variable removed = add("r");
  removed.remove();
  Model other;
  Variable w = other.add_variable(0.0, 1.0, 0.0, variable_type::continuous, "w");
  const std::string removed_text = "Невозможно добавить удаленную переменную";
  const std::string other_text = "Невозможно добавить выражение из другой модели";
  EXPECT_EQ(failure_of([&] { removed - x; }), removed_text);
  EXPECT_EQ(failure_of([&] { x - removed; }), removed_text);
  EXPECT_EQ(failure_of([&] { removed * 2.0; }), removed_text);
  EXPECT_EQ(failure_of([&] { removed * x; }), removed_text);
  EXPECT_EQ(failure_of([&] { compare(removed, constraint_sense::less_equal, 5.0); }), removed_text);
  EXPECT_EQ(failure_of([&] { x + w; }), other_text);
  EXPECT_EQ(failure_of([&] { linear(1.0, 0.0, 1.0) * (w + 1.0); }), other_text);
  EXPECT_EQ(failure_of([&] { x / 0.0; }), "Неконечное значение");
}

TEST_F(Arithmetic, ComparisonsKeepANumberOnTheRightOnlyForLinearLeftSides) {
  const Constraint row = compare(linear(2.0, 0.0, 3.0), constraint_sense::less_equal, 10.0);
  EXPECT_EQ(constraint_repr(row), "-inf <= + 2*x + 3 <= 10");
  EXPECT_EQ(constraint_repr(compare(x, constraint_sense::greater_equal, y)), "0 <= + 1*x - 1*y <= inf");
  EXPECT_EQ(constraint_repr(compare(x * y, constraint_sense::equal, 4.0)), "0 <= + 1*x*y  - 4 <= 0");
  EXPECT_EQ(constraint_repr(compare(x * y, constraint_sense::less_equal, linear(1.0, 0.0, 0.0))),
            "-inf <= + 1*x*y  - 1*x <= 0");
}

TEST_F(Arithmetic, PowersByExponent) {
  const LinearExpression e = linear(2.0, 0.0, 3.0);
  EXPECT_EQ(std::get<double>(integer_power_Variable(x, 0)), 1.0);
  EXPECT_EQ(std::get<Variable>(integer_power_Variable(x, 1)).get_interface(), x.get_interface());
  EXPECT_EQ(text(std::get<QuadExpression>(integer_power_Variable(x, 2))), " + 1*x*x");
  EXPECT_EQ(general_expression_repr(std::get<GeneralExpression>(integer_power_Variable(x, -3))), "pow(x, -3)");
  EXPECT_EQ(std::get<LinearExpression>(integer_power_linear_quad(e, e.get_quad_part(), 1)).get_interface(),
            e.get_interface());
  EXPECT_EQ(text(std::get<QuadExpression>(integer_power_linear_quad(e, e.get_quad_part(), 2))),
            " + 4*x*x  + 12*x + 9");
  const LinearExpression mixed = e + (x * y);
  EXPECT_TRUE(std::holds_alternative<GeneralExpression>(integer_power_linear_quad(mixed, mixed.get_quad_part(), 2)));
}

TEST_F(Arithmetic, ASumIsOfTheNarrowestKind) {
  ExpressionSum linear_sum;
  linear_sum.add(x);
  linear_sum.add(2.0);
  linear_sum.add(linear(1.0, 1.0, 1.0));
  EXPECT_EQ(text(std::get<LinearExpression>(linear_sum.result())), " + 2*x + 1*y + 3");

  ExpressionSum quadratic_sum;
  quadratic_sum.add(x * y);
  quadratic_sum.add(linear(2.0, 1.0, 3.0));
  EXPECT_EQ(text(std::get<QuadExpression>(quadratic_sum.result())), " + 1*x*y  + 2*x + 1*y + 3");

  ExpressionSum general_sum;
  general_sum.add(x);
  general_sum.add(make_general_expression(y));
  EXPECT_EQ(general_expression_repr(std::get<GeneralExpression>(general_sum.result())), "y+0+x");
  // A result is new every time.
  EXPECT_NE(std::get<LinearExpression>(linear_sum.result()).get_interface(),
            std::get<LinearExpression>(linear_sum.result()).get_interface());
}

}  // namespace
}  // namespace velorium::testing
