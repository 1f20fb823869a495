#include "python/wrappers/general_tree_copy.hpp"

#include <vector>

namespace velorium {

namespace {

using T = gen_expr_type;

// A node of the source as the copy needs it: its type and how many children it has.
struct NodeShape {
  T type;
  int children;
  bool takes_any_number;
};

NodeShape shape_of(const GeneralExpression& node) {
  const T type = node.get_type();
  switch (type) {
    case T::constant:
    case T::variable: return {type, 0, false};
    case T::plus:
    case T::multiply: return {type, node.get_expr_count(), true};
    default: return {type, node.get_arity(), false};
  }
}

GeneralExpression leaf_copy(const GeneralExpression& source, T type) {
  if (type == T::constant) return GeneralExpression::independent(CreateGeneralExpression(source.get_constant()));
  const Variable variable = source.get_variable();
  return GeneralExpression::independent(CreateGeneralExpression(variable.get_interface()),
                                        reached_model(variable.use()));
}

struct Child {
  GeneralExpression source;
  NodeShape shape;
};

// A node whose children are still to be copied, and its new node (or a view of it).
struct Pending {
  std::vector<Child> children;
  bool takes_any_number;
  GeneralExpression target;
};

std::vector<Child> children_of(const GeneralExpression& source, const NodeShape& shape) {
  std::vector<Child> children;
  children.reserve(static_cast<std::size_t>(shape.children));
  for (int i = 0; i < shape.children; ++i) {
    GeneralExpression child = source.child(i);
    const NodeShape child_shape = shape_of(child);
    children.push_back({std::move(child), child_shape});
  }
  return children;
}

// A new node like `source` over its children: a one- or two-child node takes its leaf children
// at once and placeholders where the others will go; a plus or multiply node starts empty.
GeneralExpression shell_of(const NodeShape& shape, const std::vector<Child>& children,
                           const GeneralExpression& placeholder) {
  if (shape.takes_any_number) return GeneralExpression::independent(CreateGeneralExpression(shape.type));
  std::vector<GeneralExpression> operands;
  for (const Child& child : children) {
    operands.push_back(child.shape.children == 0 ? leaf_copy(child.source, child.shape.type) : placeholder);
  }
  if (operands.size() == 1) {
    return GeneralExpression::independent(CreateGeneralExpression(shape.type, operands[0].get_interface()));
  }
  // A node with a missing child is never handed out; the library refuses it here.
  return GeneralExpression::independent(CreateGeneralExpression(
      shape.type, operands.at(0).get_interface(), operands.at(1).get_interface()));
}

}  // namespace

GeneralExpression copy_general_tree(const GeneralExpression& source) {
  const NodeShape root_shape = shape_of(source);
  if (root_shape.children == 0 && !root_shape.takes_any_number) return leaf_copy(source, root_shape.type);
  const GeneralExpression placeholder = make_general_expression(0.0);
  std::vector<Child> root_children = children_of(source, root_shape);
  GeneralExpression root = shell_of(root_shape, root_children, placeholder);
  std::vector<Pending> pending;
  pending.push_back({std::move(root_children), root_shape.takes_any_number, root.reader()});
  while (!pending.empty()) {
    Pending next = std::move(pending.back());
    pending.pop_back();
    for (std::size_t i = 0; i < next.children.size(); ++i) {
      Child& child = next.children[i];
      const int index = static_cast<int>(i);
      const bool leaf = child.shape.children == 0 && !child.shape.takes_any_number;
      if (leaf && !next.takes_any_number) continue;  // already in its parent's shell
      if (leaf) {
        next.target.call(&IGeneralExpression::AddExpr, leaf_copy(child.source, child.shape.type).get_interface());
        continue;
      }
      std::vector<Child> grandchildren = children_of(child.source, child.shape);
      const GeneralExpression shell = shell_of(child.shape, grandchildren, placeholder);
      if (next.takes_any_number) {
        next.target.call(&IGeneralExpression::AddExpr, shell.get_interface());
      } else {
        next.target.call(&IGeneralExpression::SetExpr, index, shell.get_interface());
      }
      pending.push_back({std::move(grandchildren), child.shape.takes_any_number, next.target.child(index)});
    }
  }
  return root;
}

}  // namespace velorium
