// Independent copies of general expression trees.
#pragma once

#include "python/wrappers/general_expression.hpp"

namespace velorium {

// A deep copy of the tree under `source` in which every node is new: views of other trees are
// unfolded into copies of the nodes they stand for, which the library's own copy never does
// (it copies a view as another view of the same node). Built top-down: each new node is
// attached to its parent as soon as it is made, with placeholders where its children will go,
// so no subtree is copied twice and no depth of tree reaches the call stack.
GeneralExpression copy_general_tree(const GeneralExpression& source);

}  // namespace velorium
