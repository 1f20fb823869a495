// The model's objective as an expression: set from an expression object, and viewed.
#include "core/base/catalogue_error.hpp"
#include "core/expressions/expr_data.hpp"
#include "core/expressions/expression_views.hpp"
#include "core/model/model_impl.hpp"
#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {

void ModelImpl::set_objective_from(expr_data* store, objective_sense sense) {
  if (!store) throw_catalogue_error(391);
  const Expression& terms = store->get_terms();
  const std::shared_ptr<ModelBuilder>& terms_model = store->model();
  const bool has_terms = !terms.linear_terms.empty() || !terms.quadratic_terms.empty();
  if (has_terms && terms_model && terms_model != builder) throw_catalogue_error(405);
  builder->set_objective(terms, static_cast<int>(sense));
}

void ModelImpl::SetObjectiveLinear(ILinearExpression* expr, objective_sense sense) {
  guarded([&] { set_objective_from(store_of(expr), sense); });
}

void ModelImpl::SetObjectiveQuad(IQuadExpression* expr, objective_sense sense) {
  guarded([&] { set_objective_from(store_of(expr), sense); });
}

ILinearExpression* ModelImpl::GetObjective() {
  return guarded<ILinearExpression*>(nullptr, [this] { return make_linear_view(expr_data::make_objective_view(builder)); });
}

IQuadExpression* ModelImpl::GetQuadObjective() {
  return guarded<IQuadExpression*>(nullptr,
                                   [this] { return make_quadratic_view(expr_data::make_objective_view(builder)); });
}

}  // namespace velorium::cpp_impl
