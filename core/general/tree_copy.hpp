// Copies of general expression trees.
#pragma once

#include "core/general/general_expression_impl_base.hpp"
#include "core/general/tree_model_scan.hpp"

namespace velorium::cpp_impl {

// A deep copy of `source`, made without recursion. Views are copied as new views of the same
// target, except that, when `receiver` is given, a view whose target can reach `receiver` is
// replaced by a deep copy of that target, so that attaching the copy to `receiver` never
// closes a cycle. When `models` is given it receives the stores of the copied nodes and of
// the targets of the views kept.
OwnedGeneralExpr copy_tree(const GeneralExpressionImplBase& source, const GeneralExpressionImplBase* receiver,
                           TreeModelScan* models);

}  // namespace velorium::cpp_impl
