// Iterative walks over general expression trees: deep trees never exhaust the call stack.
#pragma once

#include <unordered_set>
#include <vector>

#include "core/general/general_expression_impl_base.hpp"

namespace velorium::cpp_impl {

// Visits the nodes of the tree in pre-order (children in child order), looking through every
// view to its target. A node reached through views is visited once however many views lead
// to it, so trees that share parts through views cost their size, not their number of paths.
// `visit` (const GeneralExpressionImplBase&) returns false to stop the walk; the result is
// false when it was stopped.
template <class Visit>
bool walk_tree(const GeneralExpressionImplBase& root, Visit&& visit) {
  std::vector<const GeneralExpressionImplBase*> stack;
  std::unordered_set<const GeneralExpressionImplBase*> targets_seen;
  stack.reserve(16);
  auto push = [&](const GeneralExpressionImplBase* node) {
    if (const GeneralExpressionImplBase* target = node->view_target()) {
      if (!targets_seen.insert(target).second) return;
      node = target;
    }
    stack.push_back(node);
  };
  push(&root);
  while (!stack.empty()) {
    const GeneralExpressionImplBase* node = stack.back();
    stack.pop_back();
    if (!visit(*node)) return false;
    for (int slot = node->child_slots(); slot-- > 0;) {
      if (const GeneralExpressionImplBase* child = node->GetChild(slot)) push(child);
    }
  }
  return true;
}

}  // namespace velorium::cpp_impl
