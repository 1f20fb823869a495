// The module's value of a node of a library general (nonlinear) expression tree. A node
// handed out by get_expr is a view: changes made through it change the tree it belongs to.
#pragma once

#include "python/wrappers/interface_value.hpp"
#include "python/wrappers/variable.hpp"

namespace velorium {

class LinearExpression;
class QuadExpression;

class GeneralExpression : public InterfaceValue<IGeneralExpression> {
 public:
  using InterfaceValue::InterfaceValue;

  // Adopts a node that the library just returned, then checks it.
  explicit GeneralExpression(IGeneralExpression* node);

  gen_expr_type get_type() const;
  double get_constant() const;
  Variable get_variable() const;
  int get_expr_count() const;
  // -1 for plus and multiply, which take any number of children.
  int get_arity() const;
  GeneralExpression get_expr(int index) const;
  void set_expr(int index, const GeneralExpression& expression);
  void add_expr(const GeneralExpression& expression);
  // A deep copy of the node and its subtree.
  GeneralExpression copy() const;
};

// The tree of a whole expression store, or the leaf of a variable, or a constant.
GeneralExpression make_general_expression(const ILinearExpression* expression);
GeneralExpression make_general_expression(const IQuadExpression* expression);
GeneralExpression make_general_expression(const IVariable* variable);
GeneralExpression make_general_expression(double value);

}  // namespace velorium
