#include "core/general/tree_model_scan.hpp"

#include "core/general/tree_walk.hpp"

namespace velorium::cpp_impl {

TreeModelScan scan_tree_models(const GeneralExpressionImplBase& root) {
  TreeModelScan scan;
  walk_tree(root, [&scan](const GeneralExpressionImplBase& node) {
    scan.note(node.own_model());
    return !scan.mixed;
  });
  return scan;
}

}  // namespace velorium::cpp_impl
