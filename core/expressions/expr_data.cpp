#include "core/expressions/expr_data.hpp"

#include <utility>

#include "core/expressions/model_term_lookups.hpp"
#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {

std::shared_ptr<expr_data> expr_data::make_own() {
  std::shared_ptr<expr_data> store(new expr_data(storage_kind::own_terms));
  store->lookup_ = std::make_shared<TermLookup>();
  return store;
}

std::shared_ptr<expr_data> expr_data::make_objective_view(std::shared_ptr<ModelBuilder> model) {
  std::shared_ptr<expr_data> store(new expr_data(storage_kind::model_objective));
  store->lookup_ = model_term_lookup(model.get(), kObjectivePlace);
  store->model_ = std::move(model);
  return store;
}

std::shared_ptr<expr_data> expr_data::make_row_view(std::shared_ptr<ModelBuilder> model, std::int32_t row_index) {
  std::shared_ptr<expr_data> store(new expr_data(storage_kind::model_row));
  store->lookup_ = model_term_lookup(model.get(), row_index);
  store->model_ = std::move(model);
  store->row_index_ = row_index;
  return store;
}

std::shared_ptr<expr_data> expr_data::make_free_row_view(std::shared_ptr<FreeRow> row) {
  std::shared_ptr<expr_data> store(new expr_data(storage_kind::free_row));
  store->lookup_ = std::shared_ptr<TermLookup>(row, &row->lookup);
  store->free_row_ = std::move(row);
  return store;
}

std::shared_ptr<expr_data> expr_data::make_free_copy(expr_data& source) {
  const Expression& terms = source.get_terms();
  std::shared_ptr<expr_data> copy = make_own();
  copy->model_ = source.model();
  copy->terms_ = terms;
  return copy;
}

Expression& expr_data::get_terms() {
  switch (kind_) {
    case storage_kind::model_objective:
      return model_->model->objective;
    case storage_kind::model_row:
      return model_->row_record(row_index_).expression;
    case storage_kind::free_row:
      return free_row_->record.expression;
    case storage_kind::own_terms:
      break;
  }
  return terms_;
}

void expr_data::take_model(const std::shared_ptr<ModelBuilder>& model) {
  std::shared_ptr<ModelBuilder>& bound = free_row_ ? free_row_->model : model_;
  if (!bound) bound = model;
}

}  // namespace velorium::cpp_impl
