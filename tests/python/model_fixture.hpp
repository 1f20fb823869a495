// A library model with the variables x, y and z (continuous, 0 to infinity), held by the
// module's value classes.
#pragma once

#include <gtest/gtest.h>

#include "python/wrappers/model.hpp"

namespace velorium::testing {

class ModelFixture : public ::testing::Test {
 protected:
  Variable add(const char* name, variable_type type = variable_type::continuous, double lower = 0.0,
               double upper = kVeloriumInf) {
    return model.add_variable(lower, upper, 0.0, type, name);
  }

  // x * a + y * b + constant, as a free expression.
  LinearExpression linear(double a, double b, double constant) {
    LinearExpression expression = adopt<LinearExpression>(CreateLinearExpression());
    expression.add_term(x, a);
    expression.add_term(y, b);
    expression.set_constant(constant);
    return expression;
  }

  Model model;
  Variable x = add("x");
  Variable y = add("y");
  Variable z = add("z");
};

}  // namespace velorium::testing
