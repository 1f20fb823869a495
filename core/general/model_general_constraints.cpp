#include "core/general/model_general_constraints.hpp"

#include "core/base/catalogue_error.hpp"
#include "core/general/general_constraint_wrapper.hpp"
#include "core/general/tree_model_scan.hpp"
#include "core/model/variable_impl.hpp"
#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {

namespace {

const GeneralConstraintWrapper& wrapper_of(const IGeneralConstraint* gc) {
  const auto* wrapper = dynamic_cast<const GeneralConstraintWrapper*>(gc);
  if (!wrapper) throw_catalogue_error(402);
  return *wrapper;
}

void check_tree_fits(const GeneralExpressionImplBase& tree, const ModelBuilder& store) {
  if (!scan_tree_models(tree).fits(&store)) throw_catalogue_error(405);
}

}  // namespace

std::shared_ptr<GeneralConstraint> add_general_constraint_to(ModelBuilder& store, const IGeneralExpression* expr,
                                                             const IVariable* var, const char* name,
                                                             const VeloriumLogOptions* log) {
  const auto* tree = dynamic_cast<const GeneralExpressionImplBase*>(expr);
  if (!tree) throw_catalogue_error(391);
  const auto* variable = dynamic_cast<const VariableImpl*>(var);
  if (!variable || variable->model().get() != &store) throw_catalogue_error(394);
  check_tree_fits(*tree, store);
  return store.add_general_constraint(share_node(tree->Clone()), variable->index(), name, log);
}

std::shared_ptr<GeneralConstraint> add_general_constraint_object_to(ModelBuilder& store, const IGeneralConstraint* gc,
                                                                    const VeloriumLogOptions* log) {
  const GeneralConstraintWrapper& wrapper = wrapper_of(gc);
  if (wrapper.model().get() != &store) throw_catalogue_error(405);
  check_tree_fits(*wrapper.data()->expression, store);
  return store.add_general_constraint_copy(*wrapper.data(), log);
}

void remove_general_constraint_from(ModelBuilder& store, IGeneralConstraint* gc) {
  const GeneralConstraintWrapper& wrapper = wrapper_of(gc);
  if (wrapper.model().get() != &store) throw_catalogue_error(397);
  store.remove_general_constraint(*wrapper.data());
}

}  // namespace velorium::cpp_impl
