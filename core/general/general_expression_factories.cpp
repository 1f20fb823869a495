// The factories of general expression nodes of the object interface.
#include <cmath>
#include <new>

#include "core/general/constant_general_expr.hpp"
#include "core/general/binary_general_expr.hpp"
#include "core/general/gen_expr_type_info.hpp"
#include "core/general/multi_general_expr.hpp"
#include "core/general/unary_general_expr.hpp"
#include "core/general/variable_general_expr.hpp"
#include "core/model/variable_impl.hpp"

using velorium::gen_expr_type;
using velorium::IGeneralExpression;
using namespace velorium::cpp_impl;

namespace {

// Nothing leaves a factory as an exception: a node that cannot be made is null.
template <class Make>
IGeneralExpression* make_node(Make&& make) noexcept {
  try {
    return make();
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

// Null for a constant that is not a finite number (no object to hold the error).
IGeneralExpression* CreateGeneralExpression(double value) {
  if (!std::isfinite(value)) return nullptr;
  return make_node([value] { return new ConstantGeneralExpr(value); });
}

IGeneralExpression* CreateGeneralExpression(const velorium::IVariable* var) {
  const auto* variable = dynamic_cast<const VariableImpl*>(var);
  if (!variable) return nullptr;
  return make_node([variable] { return new VariableGeneralExpr(variable->model(), variable->index()); });
}

IGeneralExpression* CreateGeneralExpression(gen_expr_type type) {
  if (type == gen_expr_type::constant) return CreateGeneralExpression(0.0);
  if (type != gen_expr_type::plus && type != gen_expr_type::multiply) return nullptr;
  return make_node([type] { return new MultiGeneralExpr(type); });
}

// The node is returned even when the operand could not be attached; it then carries the error.
IGeneralExpression* CreateGeneralExpression(gen_expr_type type, const IGeneralExpression* a) {
  if (velorium::gen_expr_arity(type) != 1) return nullptr;
  return make_node([type, a] { return new UnaryGeneralExpr(type, a); });
}

IGeneralExpression* CreateGeneralExpression(gen_expr_type type, const IGeneralExpression* a,
                                            const IGeneralExpression* b) {
  if (velorium::gen_expr_arity(type) != 2) return nullptr;
  return make_node([type, a, b] { return new BinaryGeneralExpr(type, a, b); });
}
