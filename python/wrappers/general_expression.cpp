#include "python/wrappers/general_expression.hpp"

#include <cmath>

#include "core/text/message_catalogue.hpp"
#include "python/wrappers/general_tree_copy.hpp"
#include "python/wrappers/linear_expression.hpp"
#include "python/wrappers/quad_expression.hpp"

namespace velorium {

namespace {

constexpr int kRemovedVariableMessage = 407;
constexpr int kNonFiniteValueMessage = 505;

}  // namespace

GeneralExpression::GeneralExpression(SharedInterface<IGeneralExpression> held, UseRef use) noexcept
    : InterfaceValue(std::move(held), std::move(use)) {}

GeneralExpression::GeneralExpression(IGeneralExpression* node, UseRef use)
    : InterfaceValue(make_interface_ptr(node), std::move(use)) {
  check();
}

GeneralExpression GeneralExpression::independent(IGeneralExpression* node, UseRef use) {
  GeneralExpression value(node, std::move(use));
  value.independent_ = true;
  return value;
}

GeneralExpression::GeneralExpression(const GeneralExpression& other) : InterfaceValue() {
  if (other.private_chain_) other.settle();
  reset(other.held());
  set_use(other.shared_use());
  independent_ = other.independent_;
}

GeneralExpression& GeneralExpression::operator=(const GeneralExpression& other) {
  if (this != &other) {
    if (other.private_chain_) other.settle();
    reset(other.held());
    set_use(other.shared_use());
    independent_ = other.independent_;
    private_chain_ = false;
  }
  return *this;
}

gen_expr_type GeneralExpression::get_type() const { return call(&IGeneralExpression::GetType); }
double GeneralExpression::get_constant() const { return call(&IGeneralExpression::GetConstant); }
Variable GeneralExpression::get_variable() const { return call_adopt<Variable>(&IGeneralExpression::GetVariable); }
int GeneralExpression::get_expr_count() const { return call(&IGeneralExpression::GetExprCount); }
int GeneralExpression::get_arity() const { return call(&IGeneralExpression::GetArity); }

GeneralExpression GeneralExpression::child(int index) const {
  GeneralExpression view = call_adopt<GeneralExpression>(&IGeneralExpression::GetExpr, index);
  view.check();
  return view;
}

GeneralExpression GeneralExpression::get_expr(int index) const {
  GeneralExpression view = child(index);
  // The view reaches into this tree: it is no longer this value's alone.
  private_chain_ = false;
  return view;
}

// A tree without a model takes the model of the nodes it is given.
void GeneralExpression::set_expr(int index, const GeneralExpression& expression) {
  const GeneralExpression child_copy = expression.detached();
  call(&IGeneralExpression::SetExpr, index, child_copy.held().get());
  take_model_of(expression);
}

void GeneralExpression::add_expr(const GeneralExpression& expression) {
  const GeneralExpression child_copy = expression.detached();
  call(&IGeneralExpression::AddExpr, child_copy.held().get());
  take_model_of(expression);
}

GeneralExpression GeneralExpression::copy() const {
  // The library's own copy of a tree without views is the same, and cheaper.
  if (is_independent()) return independent(object().CreateFreeCopy(), reached_model(use()));
  GeneralExpression result = copy_general_tree(reader());
  result.set_use(reached_model(use()));
  result.independent_ = true;
  return result;
}

GeneralExpression GeneralExpression::detached() const { return is_independent() ? *this : copy(); }

IGeneralExpression* GeneralExpression::get_interface() const {
  if (private_chain_) settle();
  return InterfaceValue::get_interface();
}

GeneralExpression GeneralExpression::reader() const { return GeneralExpression(held(), shared_use()); }

void GeneralExpression::settle() const {
  GeneralExpression settled = copy();
  // Only the holder of a private chain settles it, and nothing else reaches its tree, so the
  // value changes the node it holds but not what that node stands for.
  auto& self = const_cast<GeneralExpression&>(*this);
  self.reset(settled.held());
  self.independent_ = true;
  private_chain_ = false;
}

GeneralExpression GeneralExpression::wrapped_base() const {
  if (private_chain_) return reader();
  GeneralExpression holder = independent(CreateGeneralExpression(gen_expr_type::plus));
  holder.call(&IGeneralExpression::AddExpr, detached().held().get());
  return holder.child(0);
}

void GeneralExpression::hold_as_chain(const GeneralExpression& node) {
  GeneralExpression holder = independent(CreateGeneralExpression(gen_expr_type::plus));
  holder.call(&IGeneralExpression::AddExpr, node.held().get());
  GeneralExpression view = holder.child(0);
  reset(view.held());
  independent_ = false;
  private_chain_ = true;
}

GeneralExpression& GeneralExpression::apply_compound(gen_expr_type op, double c) {
  const GeneralExpression constant = make_general_expression(c);
  const bool appends = get_type() == op && get_arity() == -1;
  if (appends) {
    call(&IGeneralExpression::AddExpr, constant.held().get());
    return *this;
  }
  const GeneralExpression base = wrapped_base();
  if (op == gen_expr_type::minus || op == gen_expr_type::divide) {
    hold_as_chain(GeneralExpression(CreateGeneralExpression(op, base.held().get(), constant.held().get())));
    return *this;
  }
  GeneralExpression node(CreateGeneralExpression(op));
  node.call(&IGeneralExpression::AddExpr, base.held().get());
  node.call(&IGeneralExpression::AddExpr, constant.held().get());
  hold_as_chain(node);
  return *this;
}

GeneralExpression& GeneralExpression::operator*=(const GeneralExpression& other) {
  const GeneralExpression factor = other.detached();
  if (get_type() == gen_expr_type::multiply) {
    call(&IGeneralExpression::AddExpr, factor.held().get());
    take_model_of(other);
    return *this;
  }
  const GeneralExpression base = wrapped_base();
  GeneralExpression node(CreateGeneralExpression(gen_expr_type::multiply));
  node.call(&IGeneralExpression::AddExpr, base.held().get());
  node.call(&IGeneralExpression::AddExpr, factor.held().get());
  hold_as_chain(node);
  take_model_of(other);
  return *this;
}

GeneralExpression& GeneralExpression::operator/=(const GeneralExpression& other) {
  const GeneralExpression divisor = other.detached();
  const GeneralExpression base = wrapped_base();
  hold_as_chain(
      GeneralExpression(CreateGeneralExpression(gen_expr_type::divide, base.held().get(), divisor.held().get())));
  take_model_of(other);
  return *this;
}

GeneralExpression GeneralExpression::operator-() const {
  GeneralExpression result = independent(CreateGeneralExpression(gen_expr_type::multiply));
  result.add_expr(make_general_expression(-1.0));
  result.add_expr(*this);
  return result;
}

GeneralExpression make_general_expression(double value) {
  // The library makes no node of a number that is not finite.
  if (!std::isfinite(value)) throw velorium_exception(-1, get_message(kNonFiniteValueMessage));
  return GeneralExpression::independent(CreateGeneralExpression(value));
}

GeneralExpression make_general_expression(const IVariable* variable, UseRef use) {
  // A leaf of a removed variable would be built without complaint; reading the variable
  // tells whether it is still in its model.
  if (variable) {
    const_cast<IVariable*>(variable)->GetType();
    if (variable->GetErrorCode() != 0) throw velorium_exception(-1, get_message(kRemovedVariableMessage));
  }
  return GeneralExpression::independent(CreateGeneralExpression(variable), std::move(use));
}

GeneralExpression make_general_expression(const Variable& variable) {
  return make_general_expression(static_cast<const IVariable*>(variable.get_interface()), reached_model(variable.use()));
}

GeneralExpression make_general_expression(const ILinearExpression* expression, UseRef use) {
  return GeneralExpression::independent(CreateGeneralExpression(expression), std::move(use));
}

GeneralExpression make_general_expression(const IQuadExpression* expression, UseRef use) {
  return GeneralExpression::independent(CreateGeneralExpression(expression), std::move(use));
}

GeneralExpression make_general_expression(const LinearExpression& expression) {
  return make_general_expression(static_cast<const ILinearExpression*>(expression.get_interface()),
                                 reached_model(expression.use()));
}

GeneralExpression make_general_expression(const QuadExpression& expression) {
  return make_general_expression(static_cast<const IQuadExpression*>(expression.get_interface()),
                                 reached_model(expression.use()));
}

namespace {

const UseRef& reached_model_of_either(const GeneralExpression& a, const GeneralExpression& b) {
  const UseRef& first = reached_model(a.use());
  return first ? first : reached_model(b.use());
}

}  // namespace

GeneralExpression make_node(gen_expr_type type, const GeneralExpression& a, const GeneralExpression& b) {
  const GeneralExpression first = a.detached();
  const GeneralExpression second = b.detached();
  return GeneralExpression::independent(CreateGeneralExpression(type, first.get_interface(), second.get_interface()),
                                        reached_model_of_either(a, b));
}

GeneralExpression make_node(gen_expr_type type, const GeneralExpression& operand) {
  const GeneralExpression child = operand.detached();
  return GeneralExpression::independent(CreateGeneralExpression(type, child.get_interface()),
                                        reached_model(operand.use()));
}

}  // namespace velorium
