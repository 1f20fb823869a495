// Which model stores the nodes of a tree refer to.
#pragma once

#include <memory>

namespace velorium::cpp_impl {

class ModelBuilder;
class GeneralExpressionImplBase;

// The live model stores met while looking at nodes. A store that no longer exists counts as
// no store.
struct TreeModelScan {
  std::shared_ptr<ModelBuilder> model;  // the first store met
  bool mixed = false;                   // a second, different store was met as well

  void note(std::shared_ptr<ModelBuilder> store) noexcept {
    if (!store) return;
    if (!model) {
      model = std::move(store);
    } else if (store != model) {
      mixed = true;
    }
  }
  // Whether a tree with these stores may live in `store` (null: in no particular store).
  bool fits(const ModelBuilder* store) const noexcept { return !mixed && (!model || !store || model.get() == store); }
};

// Every node of the tree, views looked through to their targets.
TreeModelScan scan_tree_models(const GeneralExpressionImplBase& root);

}  // namespace velorium::cpp_impl
