// The sum of many numbers, variables and expressions in one pass, as the narrowest kind of
// expression that holds them all: linear, quadratic, or general.
#pragma once

#include "python/wrappers/expression_power.hpp"

namespace velorium {

class ExpressionSum {
 public:
  ExpressionSum();

  // Each item is added at once and checked: a refused item (another model, a removed
  // variable, a number that is not finite) raises, and the sum stops there.
  void add(const Variable& v);
  void add(const LinearExpression& e);
  void add(double c);
  void add(const QuadExpression& q);
  void add(const GeneralExpression& g);

  // A new expression; the items and the sums held here stay as they are. Linear when no item
  // brought a quadratic term or a general expression; quadratic when no general expression
  // came; else a plus node: the general items in their order, then the quadratic part, then
  // the linear part.
  PowerResult result() const;

 private:
  LinearExpression linear_;
  QuadExpression quadratic_;
  GeneralExpression general_;
};

}  // namespace velorium
