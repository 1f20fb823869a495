// Checks a general-constraint record read from a file before it becomes a tree.
#pragma once

#include <cstddef>

#include "core/records/general_constraint_record.hpp"

namespace velorium {

// How many children a node of type `type` (one of the enumeration) takes at most: its arity,
// INT_MAX for plus and multiply.
int genExprMaximumChildren(std::int32_t type);

// The fault of a record, or null when it can become a tree: it has one root, the first node;
// every other node's parent stands before it; no parent gets more children than its type
// takes; every node type is known; the result variable and every variable node name one of
// the model's `variableCount` variables.
const char* findGeneralConstraintFault(const GeneralConstraintRecord& record, std::size_t variableCount);

}  // namespace velorium
