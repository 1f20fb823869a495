// The flat model of a model store: its working model without removed members.
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/general/general_constraint_records.hpp"
#include "core/log/logger.hpp"
#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {

namespace {

// `map` per old index: the new index, or -1 for a removed member.
template <class Record>
std::vector<std::int32_t> old_to_new(const MemberTable<Record>& table) {
  std::vector<std::int32_t> map(static_cast<std::size_t>(table.record_count()), -1);
  std::int32_t next = 0;
  for (std::int32_t i = 0; i < table.record_count(); ++i) {
    if (!table.is_removed(i)) map[static_cast<std::size_t>(i)] = next++;
  }
  return map;
}

std::int32_t mapped(const std::vector<std::int32_t>& map, std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= map.size()) return -1;
  return map[static_cast<std::size_t>(index)];
}

// The terms whose variables are all kept, renumbered; the others are dropped.
void copy_kept_terms(const Expression& from, Expression& to, const std::vector<std::int32_t>& variable_map) {
  to.linear_terms.reserve(from.linear_terms.size());
  for (const LinearTerm& term : from.linear_terms) {
    const std::int32_t variable = mapped(variable_map, term.variable);
    if (variable >= 0) to.linear_terms.push_back({variable, term.coefficient});
  }
  to.linear_terms.shrink_to_fit();
  to.quadratic_terms.reserve(from.quadratic_terms.size());
  for (const QuadTerm& term : from.quadratic_terms) {
    const std::int32_t variable1 = mapped(variable_map, term.variable1);
    const std::int32_t variable2 = mapped(variable_map, term.variable2);
    if (variable1 >= 0 && variable2 >= 0) to.quadratic_terms.push_back({variable1, variable2, term.coefficient});
  }
  to.quadratic_terms.shrink_to_fit();
  to.constant = from.constant;
  to.name_id = from.name_id;
}

// The records of the store's general constraints with `variables`. One that refers to a
// variable without a place (removed, or outside the store) is left out, with a warning when
// log options are given.
std::vector<GeneralConstraintRecord> general_constraint_records_of(const ModelBuilder& store,
                                                                   const VariableRenumbering& variables,
                                                                   const VeloriumLogOptions* log_options) {
  std::vector<GeneralConstraintRecord> records;
  records.reserve(store.general_constraints.size());
  for (const std::shared_ptr<GeneralConstraint>& gc : store.general_constraints) {
    if (std::optional<GeneralConstraintRecord> record = general_constraint_record(*gc, store, variables)) {
      records.push_back(std::move(*record));
    } else if (log_options) {
      logLevelFormat(*log_options, kLogLevelWarning,
                     "Общее ограничение [%s] не передано в модель: его переменная удалена\n", gc->name.c_str());
    }
  }
  return records;
}

}  // namespace

void ModelBuilder::build_model(std::shared_ptr<Model>& out, std::vector<std::int32_t>& variable_map,
                               std::vector<std::int32_t>& row_map, const VeloriumLogOptions* log_options) {
  const bool nothing_removed = column_table.removed_count == 0 && row_table.removed_count == 0;
  const VariableRenumbering same_indices{{}, column_table.record_count()};
  model->general_constraints = general_constraint_records_of(*this, same_indices, nothing_removed ? log_options : nullptr);
  if (nothing_removed) {
    out = model;
    variable_map.clear();  // empty: every index maps to itself
    row_map.clear();
    return;
  }
  const Model& working = *model;
  auto flat = std::make_shared<Model>(Model::NoReservation{});
  flat->name = working.name;
  flat->source_path = working.source_path;
  flat->objective_sense = working.objective_sense;

  std::vector<std::int32_t> new_variables = old_to_new(column_table);
  std::vector<std::int32_t> new_rows = old_to_new(row_table);

  flat->variables.reserve(static_cast<std::size_t>(variable_count()));
  for (std::size_t i = 0; i < working.variables.size(); ++i) {
    if (new_variables[i] >= 0) flat->variables.push_back(working.variables[i]);
  }

  flat->rows.reserve(static_cast<std::size_t>(row_count()));
  for (std::size_t r = 0; r < working.rows.size(); ++r) {
    if (new_rows[r] < 0) continue;
    const Constraint& old_row = working.rows[r];
    Constraint& row = flat->rows.emplace_back(old_row.lower, old_row.upper);
    copy_kept_terms(old_row.expression, row.expression, new_variables);
    row.indicator_variable = mapped(new_variables, old_row.indicator_variable);
    row.indicator_value = old_row.indicator_value;
    if (row.indicator_variable >= 0) ++flat->indicator_count;
  }

  copy_kept_terms(working.objective, flat->objective, new_variables);

  for (const SosRecord& set : working.sos_sets) {
    SosRecord& kept = flat->sos_sets.emplace_back(SosRecord{set.name_id, set.sos_type, {}});
    for (const auto& [variable, weight] : set.entries) {
      const std::int32_t new_variable = mapped(new_variables, variable);
      if (new_variable >= 0) kept.entries.push_back({new_variable, weight});
    }
  }

  flat->general_constraints =
      general_constraint_records_of(*this, VariableRenumbering{new_variables, column_table.record_count()}, log_options);

  out = std::move(flat);
  variable_map = std::move(new_variables);
  row_map = std::move(new_rows);
}

}  // namespace velorium::cpp_impl
