// The module's value of a node of a library general (nonlinear) expression tree.
//
// What a value holds, by where it came from:
// - an independent node: one the module built itself from copies; it shares nothing with any
//   other tree, so it may be handed to the library as it is;
// - a foreign node: anything else the library handed out, notably the views that get_expr and
//   a general constraint's get_expression return. Changes made through a view change the tree
//   it belongs to, and the library copies a view as another view of the same node, so what is
//   handed to the library to keep is an independent copy of it (detached);
// - a private chain: what the in-place operators that put the node under a new one leave
//   (g -= 1.0, g /= h, g += 1.0 on a node that is no sum). The library copies whatever it is
//   given, so putting a tree under a new node costs the tree's size, and a loop of g -= 1.0
//   would cost the square of its length. Instead the new node refers to the old tree through
//   a view, which the library copies in constant time. No other handle reaches a tree of a
//   private chain, so nobody can tell the view from a copy; the value makes the tree
//   independent (settles it) before anything else could reach it: before its node is handed
//   to the library by get_interface, or shared with a copy of the value.
#pragma once

#include "python/wrappers/interface_value.hpp"
#include "python/wrappers/variable.hpp"

namespace velorium {

class LinearExpression;
class QuadExpression;

class GeneralExpression : public InterfaceValue<IGeneralExpression> {
 public:
  GeneralExpression() = default;
  // A foreign node reaching what `use` stands for (model_use.hpp); no check.
  explicit GeneralExpression(SharedInterface<IGeneralExpression> held, UseRef use = nullptr) noexcept;
  // Adopts a foreign node that the library just returned, then checks it.
  explicit GeneralExpression(IGeneralExpression* node, UseRef use = nullptr);
  // Adopts a node that the library just made from independent nodes, then checks it.
  static GeneralExpression independent(IGeneralExpression* node, UseRef use = nullptr);

  // A copy shares the node; a private chain is settled first, so that both see one tree.
  GeneralExpression(const GeneralExpression& other);
  GeneralExpression& operator=(const GeneralExpression& other);
  GeneralExpression(GeneralExpression&&) noexcept = default;
  GeneralExpression& operator=(GeneralExpression&&) noexcept = default;
  ~GeneralExpression() = default;

  gen_expr_type get_type() const;
  double get_constant() const;
  Variable get_variable() const;
  int get_expr_count() const;
  // -1 for plus and multiply, which take any number of children.
  int get_arity() const;
  // A view of child `index`: changes made through it change this tree.
  GeneralExpression get_expr(int index) const;
  // Child `index` becomes, or the last child of a plus or multiply node is, an independent
  // copy of `expression`.
  void set_expr(int index, const GeneralExpression& expression);
  void add_expr(const GeneralExpression& expression);
  // An independent deep copy of the node and its subtree; no view of the original survives
  // in it, so editing either never changes the other.
  GeneralExpression copy() const;
  // This value when its node is independent, else an independent copy: what an operation
  // hands to the library to keep.
  GeneralExpression detached() const;
  // The node, for the library: a private chain is settled first.
  IGeneralExpression* get_interface() const;

  // For walks that only read: a value on the same node that settles nothing, and the view of
  // a child that leaves this value as it is.
  GeneralExpression reader() const;
  GeneralExpression child(int index) const;

  // In place, as `g op= c`: when the node is of type `op` and takes any number of children
  // (plus, multiply) the constant is appended to it; otherwise this value holds the new node
  // op(old node, c). Returns *this.
  GeneralExpression& apply_compound(gen_expr_type op, double c);
  GeneralExpression& operator+=(double c) { return apply_compound(gen_expr_type::plus, c); }
  GeneralExpression& operator-=(double c) { return apply_compound(gen_expr_type::minus, c); }
  GeneralExpression& operator*=(double c) { return apply_compound(gen_expr_type::multiply, c); }
  GeneralExpression& operator/=(double c) { return apply_compound(gen_expr_type::divide, c); }
  // g *= h appends h to a multiply node, else holds multiply(old node, h); g /= h holds
  // divide(old node, h). A refused operand (another model) leaves this value unchanged.
  GeneralExpression& operator*=(const GeneralExpression& other);
  GeneralExpression& operator/=(const GeneralExpression& other);

  // -g: the multiply node (-1.0, g).
  GeneralExpression operator-() const;

  // Whether the node is independent (for tests of the bookkeeping).
  bool is_independent() const noexcept { return independent_ && !private_chain_; }

 private:
  void settle() const;
  // The child that a new node over this one takes: the view of this value's own tree for a
  // private chain, else the view of an independent copy placed in a holder.
  GeneralExpression wrapped_base() const;
  // From now on holds `node`, through a view, as a private chain.
  void hold_as_chain(const GeneralExpression& node);

  mutable bool private_chain_ = false;
  bool independent_ = false;
};

// The general form of an operand: a constant node, the leaf of a variable (a removed variable
// is refused with message 407), the tree of a whole expression store. Independent nodes, which
// reach the operand's model.
GeneralExpression make_general_expression(double value);
GeneralExpression make_general_expression(const Variable& variable);
GeneralExpression make_general_expression(const LinearExpression& expression);
GeneralExpression make_general_expression(const QuadExpression& expression);
// The same from the library's objects, reaching what `use` stands for.
GeneralExpression make_general_expression(const ILinearExpression* expression, UseRef use = nullptr);
GeneralExpression make_general_expression(const IQuadExpression* expression, UseRef use = nullptr);
GeneralExpression make_general_expression(const IVariable* variable, UseRef use = nullptr);

// A two-child node (minus, divide, func_pow, func_signpow) over the two nodes, and a
// one-child function node over `operand`; independent when the operands are.
GeneralExpression make_node(gen_expr_type type, const GeneralExpression& a, const GeneralExpression& b);
GeneralExpression make_node(gen_expr_type type, const GeneralExpression& operand);

}  // namespace velorium
