// The factory of free general constraints of the object interface.
#include <memory>

#include "core/general/general_constraint_wrapper.hpp"
#include "core/general/tree_model_scan.hpp"
#include "core/model/variable_impl.hpp"

using namespace velorium::cpp_impl;

// Null when either object is not the library's own, or when the tree has variables of another
// model than the result variable (or of two models), views looked through. The general
// constraint holds a copy of the tree: a deep copy, or for a view another view of its target.
velorium::IGeneralConstraint* CreateGeneralConstraint(const velorium::IGeneralExpression* expr,
                                                      const velorium::IVariable* var, const char* name) {
  const auto* tree = dynamic_cast<const GeneralExpressionImplBase*>(expr);
  const auto* variable = dynamic_cast<const VariableImpl*>(var);
  if (!tree || !variable || !variable->model()) return nullptr;
  try {
    if (!scan_tree_models(*tree).fits(variable->model().get())) return nullptr;
    auto data = std::make_shared<GeneralConstraint>(
        GeneralConstraint{share_node(tree->Clone()), variable->index(), name ? name : ""});
    return new GeneralConstraintWrapper(variable->model(), std::move(data));
  } catch (...) {
    return nullptr;
  }
}
