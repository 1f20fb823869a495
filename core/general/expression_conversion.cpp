#include "core/general/expression_conversion.hpp"

#include <cmath>
#include <utility>

#include "core/general/constant_general_expr.hpp"
#include "core/general/multi_general_expr.hpp"
#include "core/general/variable_general_expr.hpp"

namespace velorium::cpp_impl {

namespace {

constexpr double kZeroTolerance = 1e-14;

OwnedGeneralExpr constant_node(double value) { return OwnedGeneralExpr(new ConstantGeneralExpr(value)); }

// Makes the nodes of one expression, all bound to the expression's store.
class TermNodes {
 public:
  explicit TermNodes(const std::weak_ptr<ModelBuilder>& model) : model_(model) {}

  OwnedGeneralExpr variable(std::int32_t index) const { return OwnedGeneralExpr(new VariableGeneralExpr(model_, index)); }

  OwnedGeneralExpr operation(gen_expr_type type) const {
    OwnedGeneralExpr node(new MultiGeneralExpr(type));
    node->bind_model(model_);
    return node;
  }

  // c * x_i; a coefficient of exactly 1 is left out.
  OwnedGeneralExpr linear(const LinearTerm& term) const {
    if (term.coefficient == 1.0) return variable(term.variable);
    OwnedGeneralExpr product = operation(gen_expr_type::multiply);
    product->AppendChild(share_node(constant_node(term.coefficient)));
    product->AppendChild(share_node(variable(term.variable)));
    return product;
  }

  // c * x_i * x_j, always a product (x * x is not turned into a square).
  OwnedGeneralExpr quadratic(const QuadTerm& term) const {
    OwnedGeneralExpr product = operation(gen_expr_type::multiply);
    if (term.coefficient != 1.0) product->AppendChild(share_node(constant_node(term.coefficient)));
    product->AppendChild(share_node(variable(term.variable1)));
    product->AppendChild(share_node(variable(term.variable2)));
    return product;
  }

  // No term: none; one term: its node; several: their sum in order.
  template <class Terms>
  OwnedGeneralExpr sum(const Terms& terms) const {
    if (terms.empty()) return nullptr;
    if (terms.size() == 1) return node_of(terms.front());
    OwnedGeneralExpr total = operation(gen_expr_type::plus);
    for (const auto& term : terms) total->AppendChild(share_node(node_of(term)));
    return total;
  }

 private:
  OwnedGeneralExpr node_of(const LinearTerm& term) const { return linear(term); }
  OwnedGeneralExpr node_of(const QuadTerm& term) const { return quadratic(term); }

  const std::weak_ptr<ModelBuilder>& model_;
};

bool is_sum(const OwnedGeneralExpr& part) { return part && part->type() == gen_expr_type::plus; }

}  // namespace

OwnedGeneralExpr expression_to_tree(const Expression& terms, const std::weak_ptr<ModelBuilder>& model) {
  const TermNodes nodes(model);
  OwnedGeneralExpr quadratic = nodes.sum(terms.quadratic_terms);
  OwnedGeneralExpr linear = nodes.sum(terms.linear_terms);
  OwnedGeneralExpr constant = std::fabs(terms.constant) > kZeroTolerance ? constant_node(terms.constant) : nullptr;

  const int parts = (quadratic ? 1 : 0) + (linear ? 1 : 0) + (constant ? 1 : 0);
  if (parts == 0) return constant_node(terms.constant);
  if (parts == 1) return quadratic ? std::move(quadratic) : linear ? std::move(linear) : std::move(constant);

  // The root: the quadratic sum, else the linear sum, else a new sum; the other parts follow in
  // the order quadratic, linear, constant. A part that is itself a sum joins as one child.
  OwnedGeneralExpr root;
  if (is_sum(quadratic)) {
    root = std::move(quadratic);
  } else if (is_sum(linear)) {
    root = std::move(linear);
  } else {
    root = nodes.operation(gen_expr_type::plus);
  }
  for (OwnedGeneralExpr* part : {&quadratic, &linear, &constant}) {
    if (*part) root->AppendChild(share_node(std::move(*part)));
  }
  return root;
}

IGeneralExpression* failed_conversion_node() noexcept {
  ConstantGeneralExpr* node = nullptr;
  try {
    node = new ConstantGeneralExpr(0.0);
    throw;
  } catch (const velorium_exception& e) {
    if (node) node->SetError(e.what(), e.code());
  } catch (const std::exception& e) {
    if (node) node->SetError(e.what(), -1);
  } catch (...) {
    if (node) node->SetError("Unknown error", -1);
  }
  return node;
}

}  // namespace velorium::cpp_impl
