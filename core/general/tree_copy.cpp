#include "core/general/tree_copy.hpp"

#include <unordered_set>
#include <vector>


namespace velorium::cpp_impl {

namespace {

using Node = GeneralExpressionImplBase;

// Decides, per view, whether it is copied as a view or unfolded into a copy of its target.
class ViewUnfolding {
 public:
  explicit ViewUnfolding(const Node* receiver)
      // A node that nothing holds by shared reference is no child and no view target, so no
      // tree can reach it.
      : receiver_(receiver && !receiver->weak_from_this().expired() ? receiver : nullptr) {}

  // The node whose copy stands for `node`: `node` itself, or the target of a view that must
  // not be attached as a view.
  const Node& unfold(const Node& node) {
    const Node* target = node.view_target();
    if (!target || !receiver_) return node;
    return reaches_receiver(target) ? *target : node;
  }

 private:
  // Searches below `from`, views followed. Nodes of a search that failed are remembered as
  // not leading to the receiver, so the searches of one copy cost the size of the trees they
  // look at once, however many views lead into them.
  bool reaches_receiver(const Node* from) {
    std::vector<const Node*> stack{from};
    std::unordered_set<const Node*> seen;
    while (!stack.empty()) {
      const Node* node = stack.back();
      stack.pop_back();
      if (const Node* target = node->view_target()) node = target;
      if (node == receiver_) return true;
      if (cleared_.count(node) || !seen.insert(node).second) continue;
      for (int slot = node->child_slots(); slot-- > 0;) {
        if (const Node* child = node->GetChild(slot)) stack.push_back(child);
      }
    }
    cleared_.merge(seen);
    return false;
  }

  const Node* receiver_;
  std::unordered_set<const Node*> cleared_;
};

void note_models(const Node& copied, TreeModelScan* models) {
  if (models) models->note(copied.effective_model());
}

struct PendingChild {
  const Node* source;
  Node* parent_copy;
  int slot;
};

void push_children(const Node& source, Node* copy, std::vector<PendingChild>& pending) {
  if (source.view_target()) return;  // a view kept as a view: its target is not copied
  for (int slot = source.child_slots(); slot-- > 0;) {
    // An absent child (a node never completed) is left absent in the copy.
    if (const Node* child = source.GetChild(slot)) pending.push_back({child, copy, slot});
  }
}

}  // namespace

OwnedGeneralExpr copy_tree(const Node& source, const Node* receiver, TreeModelScan* models) {
  ViewUnfolding views(receiver);
  const Node& first = views.unfold(source);
  OwnedGeneralExpr root = first.shallow_copy();
  note_models(first, models);

  std::vector<PendingChild> pending;
  push_children(first, root.get(), pending);
  while (!pending.empty()) {
    const PendingChild next = pending.back();
    pending.pop_back();
    const Node& original = views.unfold(*next.source);
    OwnedGeneralExpr copy = original.shallow_copy();
    note_models(original, models);
    Node* placed = copy.get();
    // Attached at once: should a later allocation fail, the partial copy is freed with root.
    next.parent_copy->SetChild(next.slot, share_node(std::move(copy)));
    push_children(original, placed, pending);
  }
  return root;
}

}  // namespace velorium::cpp_impl
