// The model's constraints: adding rows from expressions and constraint objects, looking them
// up, removing them.
#include <limits>
#include <memory>

#include "core/base/catalogue_error.hpp"
#include "core/base/number_checks.hpp"
#include "core/constraints/constraint_impl.hpp"
#include "core/expressions/expr_data.hpp"
#include "core/expressions/expression_views.hpp"
#include "core/model/model_impl.hpp"
#include "core/store/model_builder.hpp"
#include "core/store/row_bounds.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium::cpp_impl {

namespace {

bool has_terms(const Expression& expression) {
  return !expression.linear_terms.empty() || !expression.quadratic_terms.empty();
}

// Terms of another model's variables would be read as this model's: refused (405).
void check_terms_belong_to(const std::shared_ptr<ModelBuilder>& terms_model, const ModelBuilder& store) {
  if (terms_model && terms_model.get() != &store) throw_catalogue_error(405);
}

}  // namespace

IConstraint* ModelImpl::new_free_constraint() {
  return new ConstraintImpl(std::make_shared<FreeRow>(builder, Constraint()));
}

IConstraint* ModelImpl::add_row_from(const Expression& terms, const std::shared_ptr<ModelBuilder>& terms_model,
                                     double lower_bound, double upper_bound, const char* name) {
  // Only an expression without any terms is a free constraint; one with terms of either kind
  // is a row.
  if (!has_terms(terms)) return new_free_constraint();
  check_terms_belong_to(terms_model, *builder);
  const std::int32_t row = builder->add_row(terms, lower_bound, upper_bound, name, &options.log_options);
  if (row < 0) throw_catalogue_error(403);
  return new ConstraintImpl(builder, row);
}

IConstraint* ModelImpl::AddConstraint(IConstraint* constr, const char* constr_name) {
  return guarded<IConstraint*>(nullptr, [&]() -> IConstraint* {
    auto* source = dynamic_cast<ConstraintImpl*>(constr);
    if (!source) throw_catalogue_error(402);
    const Constraint* record = nullptr;
    try {
      record = &source->resolve_row();
    } catch (const velorium_exception& e) {
      // The handle's own failure (its row is gone) stays with the handle.
      source->SetError(e.what(), e.code());
    }
    if (!record) throw_catalogue_error(402);
    return add_row_from(record->expression, source->model(), record->lower, record->upper, constr_name);
  });
}

IConstraint* ModelImpl::add_row_from_expression(expr_data* store, double lower_bound, double upper_bound,
                                                const char* name) {
  return guarded<IConstraint*>(nullptr, [&]() -> IConstraint* {
    // Checked here too, since an expression without terms gives a free constraint, no row.
    refuse_nan(lower_bound);
    refuse_nan(upper_bound);
    if (!store) throw_catalogue_error(391);
    return add_row_from(store->get_terms(), store->model(), lower_bound, upper_bound, name);
  });
}

IConstraint* ModelImpl::AddConstraintLinear2(ILinearExpression* expr, double lower_bound, double upper_bound,
                                             const char* name) {
  return add_row_from_expression(store_of(expr), lower_bound, upper_bound, name);
}

IConstraint* ModelImpl::AddConstraintQuad2(IQuadExpression* expr, double lower_bound, double upper_bound,
                                           const char* name) {
  return add_row_from_expression(store_of(expr), lower_bound, upper_bound, name);
}

bool ModelImpl::bounds_of_sense(constraint_sense sense, double rhs, double& lower, double& upper) noexcept {
  return guarded(false, [&] {
    const RowBounds bounds = checked_row_bounds(static_cast<int>(sense), rhs);
    lower = bounds.lower;
    upper = bounds.upper;
    return true;
  });
}

IConstraint* ModelImpl::AddConstraintLinear1(ILinearExpression* expr, constraint_sense sense, double rhs,
                                             const char* name) {
  double lower = 0.0, upper = 0.0;
  if (!bounds_of_sense(sense, rhs, lower, upper)) return nullptr;
  return AddConstraintLinear2(expr, lower, upper, name);
}

IConstraint* ModelImpl::AddConstraintQuad1(IQuadExpression* expr, constraint_sense sense, double rhs,
                                           const char* name) {
  double lower = 0.0, upper = 0.0;
  if (!bounds_of_sense(sense, rhs, lower, upper)) return nullptr;
  return AddConstraintQuad2(expr, lower, upper, name);
}

IConstraint* ModelImpl::GetConstraint(int idx) {
  return member_view<ConstraintImpl>([&] { return builder->row_at_position(idx); });
}

IConstraint* ModelImpl::GetConstraintByName(const char* constr_name) {
  return member_view<ConstraintImpl>([&] { return builder->find_constraint_index(constr_name ? constr_name : ""); });
}

void ModelImpl::RemoveConstr(IConstraint* constr) {
  clear_error();
  auto* constraint = dynamic_cast<ConstraintImpl*>(constr);
  if (!constraint) {
    SetError(get_message(398), -1);
    return;
  }
  if (!constraint->is_model_row()) return;  // a free constraint is no row of any model
  if (constraint->model() != builder) {
    SetError(get_message(397), -1);
    return;
  }
  constraint->Remove();
  SetError(constraint->GetErrorText(), constraint->GetErrorCode());
}

}  // namespace velorium::cpp_impl
