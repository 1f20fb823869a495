// Helpers for the general expression tests: owning handles and a structural text of a tree.
#pragma once

#include <memory>
#include <string>

#include "core/general/constant_general_expr.hpp"
#include "core/general/gen_expr_type_info.hpp"
#include "core/general/general_expression_impl_base.hpp"
#include "core/general/variable_general_expr.hpp"
#include "core/text/text_utils.hpp"
#include "support/owned.hpp"
#include "velorium/velorium.hpp"

namespace velorium::testing {

using test::Owned;
using OwnedExpr = Owned<IGeneralExpression>;

inline const cpp_impl::GeneralExpressionImplBase& node_of(const IGeneralExpression* expr) {
  return dynamic_cast<const cpp_impl::GeneralExpressionImplBase&>(*expr);
}

// "Plus(Multiply(2, x0), 3)": display names, constants with %g, variables as x + store index;
// a view shows as & before what it stands for, an absent child as "_".
inline std::string describe(const cpp_impl::GeneralExpressionImplBase* node) {
  if (!node) return "_";
  if (const auto* target = node->view_target()) return "&" + describe(target);
  switch (node->type()) {
    case gen_expr_type::constant:
      return formatString("%g", static_cast<const cpp_impl::ConstantGeneralExpr*>(node)->value());
    case gen_expr_type::variable:
      return "x" + std::to_string(static_cast<const cpp_impl::VariableGeneralExpr*>(node)->index());
    default:
      break;
  }
  std::string text = gen_expr_display_name(node->type());
  text += "(";
  for (int slot = 0; slot < node->child_slots(); ++slot) {
    if (slot > 0) text += ", ";
    text += describe(node->GetChild(slot));
  }
  return text + ")";
}
inline std::string describe(const IGeneralExpression* expr) { return describe(&node_of(expr)); }

inline OwnedExpr constant(double value) { return OwnedExpr(CreateGeneralExpression(value)); }
inline OwnedExpr node(gen_expr_type type) { return OwnedExpr(CreateGeneralExpression(type)); }
inline OwnedExpr node(gen_expr_type type, const IGeneralExpression* a) { return OwnedExpr(CreateGeneralExpression(type, a)); }
inline OwnedExpr node(gen_expr_type type, const IGeneralExpression* a, const IGeneralExpression* b) {
  return OwnedExpr(CreateGeneralExpression(type, a, b));
}

}  // namespace velorium::testing
