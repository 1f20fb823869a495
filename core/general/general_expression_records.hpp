// General expression trees as flat node records (pre-order, each node naming its parent) and
// back.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/general/general_expression_impl_base.hpp"
#include "core/records/expr_node_record.hpp"

namespace velorium::cpp_impl {

// Where the variables of a store go in a flat model.
struct VariableRenumbering {
  // One entry per variable record: its index in the flat model, -1 for a variable left out.
  // Empty when every variable keeps its store index.
  std::span<const std::int32_t> new_index;
  // The number of variable records of the store.
  std::int32_t variable_records = 0;

  // The flat model's index of store index `index`; -1 when it has none there.
  std::int32_t operator()(std::int32_t index) const noexcept {
    if (index < 0 || index >= variable_records) return -1;
    if (new_index.empty()) return index;
    return static_cast<std::size_t>(index) < new_index.size() ? new_index[static_cast<std::size_t>(index)] : -1;
  }
};

// Appends the records of the tree under `root` (views looked through) to `out`: the root
// first with parent -1, each node followed by its children's subtrees in child order; a
// constant carries its value, a variable its renumbered index, an operator nothing. Walks
// without recursion. Returns false, leaving `out` as it was, when a variable has no place in
// the flat model (removed, or outside the store). A variable of another store than `owner`
// throws velorium_exception 405.
bool flatten_general_expression(const GeneralExpressionImplBase& root, const ModelBuilder& owner,
                                const VariableRenumbering& variables, std::vector<ExprNodeRecord>& out);

// The tree that `nodes` describe, its variables referring to `model`, and every operator node
// bound to `model` as well. Null when the records are not one complete tree: no records, a
// parent that does not stand before its child or cannot take another child, a second root, a
// type outside the enumeration, or a node without its children (incomplete).
GeneralExprPtr general_expression_from_records(std::span<const ExprNodeRecord> nodes,
                                               const std::weak_ptr<ModelBuilder>& model);

}  // namespace velorium::cpp_impl
