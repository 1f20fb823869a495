#include "core/general/general_constraint_records.hpp"

#include "core/store/model_builder.hpp"

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

}  // namespace velorium::cpp_impl
