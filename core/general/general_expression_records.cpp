#include "core/general/general_expression_records.hpp"

#include <limits>
#include <stdexcept>

#include "core/base/catalogue_error.hpp"
#include "core/general/binary_general_expr.hpp"
#include "core/general/constant_general_expr.hpp"
#include "core/general/gen_expr_type_info.hpp"
#include "core/general/multi_general_expr.hpp"
#include "core/general/unary_general_expr.hpp"
#include "core/general/variable_general_expr.hpp"

namespace velorium::cpp_impl {

namespace {

using Node = GeneralExpressionImplBase;

struct PendingNode {
  const Node* node;
  std::int32_t parent;
};

const Node& seen_through_views(const Node& node) {
  const Node* target = node.view_target();
  return target ? *target : node;
}

ExprNodeRecord record_of(const Node& node, std::int32_t parent, const ModelBuilder& owner,
                         const VariableRenumbering& variables, bool& placed) {
  switch (node.type()) {
    case gen_expr_type::constant:
      return ExprNodeRecord::constant(static_cast<const ConstantGeneralExpr&>(node).value(), parent);
    case gen_expr_type::variable: {
      if (node.own_model().get() != &owner) throw_catalogue_error(405);
      const std::int32_t index = variables(static_cast<const VariableGeneralExpr&>(node).index());
      if (index < 0) placed = false;
      return ExprNodeRecord::variable(index, parent);
    }
    default:
      return ExprNodeRecord::operation(static_cast<std::int32_t>(node.type()), parent);
  }
}

// A new node of the class that `type` calls for, without children.
GeneralExprPtr node_for_record(const ExprNodeRecord& record, const std::weak_ptr<ModelBuilder>& model) {
  const auto type = static_cast<gen_expr_type>(record.type);
  OwnedGeneralExpr node;
  switch (gen_expr_arity(type)) {
    case 0:
      if (type == gen_expr_type::variable) return share_node(OwnedGeneralExpr(new VariableGeneralExpr(model, record.variable_index())));
      return share_node(OwnedGeneralExpr(new ConstantGeneralExpr(record.constant_value())));
    case 1:
      node.reset(new UnaryGeneralExpr(type));
      break;
    case 2:
      node.reset(new BinaryGeneralExpr(type));
      break;
    default:
      node.reset(new MultiGeneralExpr(type));
      break;
  }
  node->bind_model(model);
  return share_node(std::move(node));
}

// Whether `parent` can take one more child.
bool has_room(const Node& parent) {
  const int arity = parent.arity();
  return arity < 0 || parent.child_count() < arity;
}

}  // namespace

bool flatten_general_expression(const Node& root, const ModelBuilder& owner, const VariableRenumbering& variables,
                                std::vector<ExprNodeRecord>& out) {
  const std::size_t first = out.size();
  bool placed = true;
  std::vector<PendingNode> pending;
  pending.reserve(16);
  pending.push_back({&seen_through_views(root), -1});
  while (!pending.empty()) {
    const PendingNode next = pending.back();
    pending.pop_back();
    if (out.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      out.resize(first);
      throw std::length_error("general expression too large for a flat model");
    }
    const auto position = static_cast<std::int32_t>(out.size());
    try {
      out.push_back(record_of(*next.node, next.parent, owner, variables, placed));
    } catch (...) {
      out.resize(first);
      throw;
    }
    for (int slot = next.node->child_slots(); slot-- > 0;) {
      if (const Node* child = next.node->GetChild(slot)) pending.push_back({&seen_through_views(*child), position});
    }
  }
  if (!placed) out.resize(first);
  return placed;
}

GeneralExprPtr general_expression_from_records(std::span<const ExprNodeRecord> nodes,
                                               const std::weak_ptr<ModelBuilder>& model) {
  if (nodes.empty() || nodes.front().parent != -1) return nullptr;
  std::vector<Node*> made;
  made.reserve(nodes.size());
  GeneralExprPtr root;
  for (std::size_t position = 0; position < nodes.size(); ++position) {
    const ExprNodeRecord& record = nodes[position];
    if (!is_gen_expr_type(record.type)) return nullptr;
    GeneralExprPtr node = node_for_record(record, model);
    made.push_back(node.get());
    if (position == 0) {
      root = std::move(node);
      continue;
    }
    if (record.parent < 0 || static_cast<std::size_t>(record.parent) >= position) return nullptr;
    Node& parent = *made[static_cast<std::size_t>(record.parent)];
    if (parent.arity() == 0 || !has_room(parent)) return nullptr;
    parent.AppendChild(std::move(node));
  }
  return root->IsComplete() ? root : nullptr;
}

}  // namespace velorium::cpp_impl
