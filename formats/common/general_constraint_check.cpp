#include "formats/common/general_constraint_check.hpp"

#include <limits>
#include <vector>

#include "velorium/velorium.hpp"

namespace velorium {

namespace {
constexpr int kAnyNumber = std::numeric_limits<int>::max();

bool isVariable(std::int64_t index, std::size_t variableCount) {
  return index >= 0 && static_cast<std::uint64_t>(index) < variableCount;
}
}  // namespace

int genExprMaximumChildren(std::int32_t type) {
  switch (static_cast<gen_expr_type>(type)) {
    case gen_expr_type::constant:
    case gen_expr_type::variable:
      return 0;
    case gen_expr_type::plus:
    case gen_expr_type::multiply:
      return kAnyNumber;
    case gen_expr_type::minus:
    case gen_expr_type::divide:
    case gen_expr_type::func_pow:
    case gen_expr_type::func_signpow:
      return 2;
    default:
      return 1;
  }
}

const char* findGeneralConstraintFault(const GeneralConstraintRecord& record, std::size_t variableCount) {
  const std::vector<ExprNodeRecord>& nodes = record.nodes;
  if (!isVariable(record.result_variable, variableCount)) return "the result variable is unknown";
  if (nodes.empty()) return "a general constraint without nodes";
  if (nodes[0].parent != -1) return "the first node of a general constraint must be its root";
  std::vector<int> children(nodes.size(), 0);
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const ExprNodeRecord& node = nodes[i];
    if (node.type < 0 || node.type > static_cast<std::int32_t>(gen_expr_type::func_signpow)) return "unknown node type";
    if (node.type == ExprNodeRecord::kVariableType && !isVariable(node.variable_index(), variableCount)) {
      return "a variable node names no variable of the model";
    }
    if (i == 0) continue;
    if (node.parent < 0 || static_cast<std::size_t>(node.parent) >= i) {
      return "a node's parent must stand before it (and only the first node is a root)";
    }
    if (++children[node.parent] > genExprMaximumChildren(nodes[node.parent].type)) return "a node has more children than its type takes";
  }
  return nullptr;
}

}  // namespace velorium
