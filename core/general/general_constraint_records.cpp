#include "core/general/general_constraint_records.hpp"

#include <string>

#include "core/store/model_builder.hpp"
#include "core/text/text_utils.hpp"

namespace velorium::cpp_impl {

std::optional<GeneralConstraintRecord> general_constraint_record(const GeneralConstraint& gc, const ModelBuilder& owner,
                                                                 const VariableRenumbering& variables) {
  GeneralConstraintRecord record;
  record.result_variable = variables(gc.result_variable);
  if (record.result_variable < 0) return std::nullopt;
  if (!flatten_general_expression(*gc.expression, owner, variables, record.nodes)) return std::nullopt;
  record.name = gc.name;
  return record;
}

std::vector<GeneralConstraintRecord> general_constraint_records(const ModelBuilder& store,
                                                                const VariableRenumbering& variables) {
  std::vector<GeneralConstraintRecord> records;
  records.reserve(store.general_constraints.size());
  for (const std::shared_ptr<GeneralConstraint>& gc : store.general_constraints) {
    if (std::optional<GeneralConstraintRecord> record = general_constraint_record(*gc, store, variables)) {
      records.push_back(std::move(*record));
    }
  }
  return records;
}

std::shared_ptr<GeneralConstraint> general_constraint_from_record(const GeneralConstraintRecord& record,
                                                                  const std::shared_ptr<ModelBuilder>& store) {
  if (record.nodes.empty()) return nullptr;
  GeneralExprPtr tree = general_expression_from_records(record.nodes, store);
  if (!tree) {
    const std::string text = formatString("Не удалось прочитать ограничение %s\n", record.name.c_str());
    throw velorium_exception(-1, text.c_str());
  }
  return std::make_shared<GeneralConstraint>(GeneralConstraint{std::move(tree), record.result_variable, record.name});
}

void load_general_constraints(const std::shared_ptr<ModelBuilder>& store) {
  store->clear_general_constraints();
  for (const GeneralConstraintRecord& record : store->model->general_constraints) {
    if (std::shared_ptr<GeneralConstraint> read = general_constraint_from_record(record, store)) {
      store->append_general_constraint(std::move(read));
    }
  }
}

}  // namespace velorium::cpp_impl
