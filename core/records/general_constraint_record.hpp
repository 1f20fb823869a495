// One general constraint of a flat model: the result variable equals the tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/records/expr_node_record.hpp"

namespace velorium {

struct GeneralConstraintRecord {
  std::string name;  // a text, not a pool id
  // The tree in pre-order: the root first, each node followed by its children's subtrees in
  // child order, so a node's parent always stands before it.
  std::vector<ExprNodeRecord> nodes;
  std::int32_t result_variable = -1;  // store index of the variable the tree defines
};

}  // namespace velorium
