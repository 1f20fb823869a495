#include "core/expressions/expression_names.hpp"

#include <string>

#include "core/base/kernel.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {

const char* expression_name(expr_data& store) {
  const std::int32_t name_id = store.get_terms().name_id;
  return kernel_names_holder().names_holder_get(name_id);
}

void set_expression_name(expr_data& store, const char* name) {
  Expression& terms = store.get_terms();
  switch (store.kind()) {
    case storage_kind::model_objective:
      if (name) {
        store.model()->set_objective_name(name);
      } else {
        terms.name_id = -1;
      }
      return;
    case storage_kind::model_row: {
      ModelBuilder& model = *store.model();
      if (name) {
        model.rename_row(store.row_index(), name);
      } else {
        model.rename_row(store.row_index(), model.get_constr_name(nullptr, nullptr, "C").c_str());
      }
      return;
    }
    case storage_kind::own_terms:
    case storage_kind::free_row:
      terms.name_id = name ? static_cast<std::int32_t>(kernel_names_holder().find_or_add_name(name)) : -1;
      return;
  }
}

}  // namespace velorium::cpp_impl
