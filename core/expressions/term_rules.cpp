#include "core/expressions/term_rules.hpp"

#include <cmath>
#include <typeinfo>

#include "core/base/catalogue_error.hpp"
#include "core/base/number_checks.hpp"
#include "core/model/variable_impl.hpp"
#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {

namespace {

bool negligible(double value) noexcept { return std::fabs(value) < kNegligibleCoefficient; }

// Adds `value` to the term at `position`; drops the term when the sum is negligible. A sum
// that overflows is refused before anything changes.
template <class RemoveAt>
void sum_into(double& coefficient, double value, RemoveAt&& remove_at) {
  refuse_non_finite(coefficient + value);
  coefficient += value;
  if (negligible(coefficient)) remove_at();
}

}  // namespace

bool variable_removed_in(const ModelBuilder* model, std::int32_t variable) noexcept {
  if (!model) return false;
  const auto& table = model->column_table;
  if (variable < 0 || variable >= table.record_count()) return true;
  return table.is_removed(variable);
}

IVariable* term_variable_handle(const expr_data& store, std::int32_t variable) {
  const std::shared_ptr<ModelBuilder>& model = store.model();
  if (!model || variable_removed_in(model.get(), variable)) throw_catalogue_error(406);
  return new VariableImpl(model, variable);
}

const VariableImpl& checked_variable(const IVariable* handle, int foreign_message) {
  // The exact type is the common case and far cheaper to test than a dynamic cast.
  const VariableImpl* variable = nullptr;
  if (handle) {
    variable = typeid(*handle) == typeid(VariableImpl) ? static_cast<const VariableImpl*>(handle)
                                                       : dynamic_cast<const VariableImpl*>(handle);
  }
  if (!variable) throw_catalogue_error(foreign_message);
  const ModelBuilder* model = variable->model().get();
  const std::int32_t index = variable->index();
  if (!model || index < 0 || index >= model->column_table.record_count()) throw_catalogue_error(110, index);
  return *variable;
}

void check_term_position(std::int32_t position, std::size_t count) {
  if (position < 0 || static_cast<std::size_t>(position) >= count) throw_catalogue_error(404, position);
}

void add_linear_term(expr_data& store, const IVariable* v, double c) {
  if (c == 0.0) return;
  refuse_non_finite(c);
  Expression& terms = store.get_terms();
  const VariableImpl& variable = checked_variable(v, 405);
  const std::int32_t index = variable.index();
  if (store.model()) {
    if (store.model() != variable.model()) throw_catalogue_error(405);
  } else {
    if (variable_removed_in(variable.model().get(), index)) throw_catalogue_error(407);
    store.take_model(variable.model());
  }
  if (variable_removed_in(store.model().get(), index)) throw_catalogue_error(407);

  TermLookup& lookup = store.lookup();
  const std::int32_t position = lookup.find_linear(terms, index);
  if (position >= 0) {
    sum_into(terms.linear_terms[static_cast<std::size_t>(position)].coefficient, c,
             [&] { lookup.remove_linear_at(terms, position); });
  } else if (!negligible(c)) {
    lookup.append_linear(terms, index, c);
  }
}

void add_quadratic_term(expr_data& store, const IVariable* a, const IVariable* b, double c) {
  if (c == 0.0) return;
  refuse_non_finite(c);
  Expression& terms = store.get_terms();
  const VariableImpl& first = checked_variable(a, 405);
  const VariableImpl& second = checked_variable(b, 405);
  if (store.model()) {
    if (store.model() != first.model() || store.model() != second.model()) throw_catalogue_error(405);
  } else {
    if (variable_removed_in(first.model().get(), first.index()) ||
        variable_removed_in(second.model().get(), second.index())) {
      throw_catalogue_error(407);
    }
    if (first.model() != second.model()) throw_catalogue_error(405);
    store.take_model(first.model());
  }
  if (variable_removed_in(store.model().get(), first.index()) ||
      variable_removed_in(store.model().get(), second.index())) {
    throw_catalogue_error(407);
  }

  TermLookup& lookup = store.lookup();
  const std::int32_t position = lookup.find_quadratic(terms, first.index(), second.index());
  if (position >= 0) {
    sum_into(terms.quadratic_terms[static_cast<std::size_t>(position)].coefficient, c,
             [&] { lookup.remove_quadratic_at(terms, position); });
  } else if (!negligible(c)) {
    lookup.append_quadratic(terms, first.index(), second.index(), c);
  }
}

// The sweeps scan only when terms of removed variables may be there: not while the model has
// removed none, nor while nothing changed since a sweep found none.
void drop_removed_linear_term(expr_data& store) {
  const ModelBuilder* model = store.model().get();
  if (!model || model->column_table.removed_count == 0) return;
  const std::int32_t removed_count = model->column_table.removed_count;
  Expression& terms = store.get_terms();
  TermLookup& lookup = store.lookup();
  if (lookup.known_free_of_removed_linear(terms, removed_count)) return;
  for (std::size_t p = 0; p < terms.linear_terms.size(); ++p) {
    if (variable_removed_in(model, terms.linear_terms[p].variable)) {
      lookup.remove_linear_at(terms, static_cast<std::int32_t>(p));
      return;
    }
  }
  lookup.note_free_of_removed_linear(removed_count);
}

void drop_removed_quadratic_term(expr_data& store) {
  const ModelBuilder* model = store.model().get();
  if (!model || model->column_table.removed_count == 0) return;
  const std::int32_t removed_count = model->column_table.removed_count;
  Expression& terms = store.get_terms();
  TermLookup& lookup = store.lookup();
  if (lookup.known_free_of_removed_quadratic(terms, removed_count)) return;
  for (std::size_t p = 0; p < terms.quadratic_terms.size(); ++p) {
    const QuadTerm& term = terms.quadratic_terms[p];
    if (variable_removed_in(model, term.variable1) || variable_removed_in(model, term.variable2)) {
      lookup.remove_quadratic_at(terms, static_cast<std::int32_t>(p));
      return;
    }
  }
  lookup.note_free_of_removed_quadratic(removed_count);
}

}  // namespace velorium::cpp_impl
