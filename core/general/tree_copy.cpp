#include "core/general/tree_copy.hpp"

#include <unordered_map>
#include <vector>

#include "core/general/tree_walk.hpp"

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
    auto [found, inserted] = reaches_.try_emplace(target, false);
    if (inserted) found->second = tree_reaches(*target, *receiver_);
    return found->second ? *target : node;
  }

 private:
  const Node* receiver_;
  std::unordered_map<const Node*, bool> reaches_;
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
