// The expression store: where the terms of a linear or quadratic expression object live.
#pragma once

#include <cstdint>
#include <memory>

#include "core/constraints/free_row.hpp"
#include "core/expressions/term_lookup.hpp"
#include "core/records/expression.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

enum class storage_kind : std::uint32_t {
  own_terms = 0,        // the store's own terms (a free expression)
  model_objective = 1,  // the objective of the model's working record, at each access
  model_row = 2,        // a row of the model, looked up by store index at each access
  free_row = 3,         // the record of a free constraint
};

// One store serves every object that shows the same terms: the linear and the quadratic face
// of one expression, the views of a row or of the objective, and the temporary views of a
// merge. Writing through any of them writes where the kind says; only a free copy is
// independent. A store holds what it refers to (the model, the free constraint) alive.
//
// Every place of terms has one TermLookup, shared by all stores of that place: an own store
// has its own, a free constraint keeps one with its record, and the objective and each row of
// a model have one per model.
class expr_data {
 public:
  static std::shared_ptr<expr_data> make_own();
  static std::shared_ptr<expr_data> make_objective_view(std::shared_ptr<ModelBuilder> model);
  static std::shared_ptr<expr_data> make_row_view(std::shared_ptr<ModelBuilder> model, std::int32_t row_index);
  static std::shared_ptr<expr_data> make_free_row_view(std::shared_ptr<FreeRow> row);
  // An own store with copies of the source's terms, constant and name id, and its model.
  // Throws what the source's get_terms throws.
  static std::shared_ptr<expr_data> make_free_copy(expr_data& source);

  expr_data(const expr_data&) = delete;
  expr_data& operator=(const expr_data&) = delete;

  // The record the kind designates. A row view of a row that is removed, or outside the row
  // table, throws velorium_exception (111, 110, with the row index).
  Expression& get_terms();

  storage_kind kind() const noexcept { return kind_; }
  std::int32_t row_index() const noexcept { return row_index_; }
  // The model whose variables the terms refer to; empty for an own store before its first
  // term, and for a free constraint made from such a store.
  const std::shared_ptr<ModelBuilder>& model() const noexcept { return free_row_ ? free_row_->model : model_; }
  // Binds a store without a model to `model` (which may be empty); a bound store keeps its own.
  void take_model(const std::shared_ptr<ModelBuilder>& model);
  TermLookup& lookup() noexcept { return *lookup_; }
  const std::shared_ptr<FreeRow>& free_row() const noexcept { return free_row_; }

 private:
  explicit expr_data(storage_kind kind) noexcept : kind_(kind) {}

  // Declared before the look-up: a model's shared look-up must go before the model may.
  std::shared_ptr<ModelBuilder> model_;
  Expression terms_;                   // own_terms only
  std::shared_ptr<FreeRow> free_row_;  // free_row only
  storage_kind kind_;
  std::int32_t row_index_ = -1;  // model_row only
  std::shared_ptr<TermLookup> lookup_;
};

}  // namespace velorium::cpp_impl
