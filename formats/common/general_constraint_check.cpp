#include "formats/common/general_constraint_check.hpp"

#include <limits>
#include <vector>

#include "core/general/gen_expr_type_info.hpp"
#include "velorium/velorium.hpp"

namespace velorium {

namespace {
constexpr int kAnyNumber = std::numeric_limits<int>::max();

bool isVariable(std::int64_t index, std::size_t variableCount) {
  return index >= 0 && static_cast<std::uint64_t>(index) < variableCount;
}
}  // namespace

int genExprMaximumChildren(std::int32_t type) {
  const int arity = gen_expr_arity(static_cast<gen_expr_type>(type));
  return arity < 0 ? kAnyNumber : arity;
}

const char* findGeneralConstraintFault(const GeneralConstraintRecord& record, std::size_t variableCount) {
  const std::vector<ExprNodeRecord>& nodes = record.nodes;
  if (!isVariable(record.result_variable, variableCount)) return "the result variable is unknown";
  if (nodes.empty()) return "a general constraint without nodes";
  if (nodes[0].parent != -1) return "the first node of a general constraint must be its root";
  std::vector<int> children(nodes.size(), 0);
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const ExprNodeRecord& node = nodes[i];
    if (!is_gen_expr_type(node.type)) return "unknown node type";
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
