#include "core/model/model_impl.hpp"

#include <algorithm>
#include <utility>

#include "core/base/kernel.hpp"
#include "core/base/number_checks.hpp"
#include "core/log/log_file.hpp"
#include "core/model/variable_impl.hpp"
#include "core/store/model_builder.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium::cpp_impl {

ModelImpl::ModelImpl() {
  options.output_flag = true;
  options.log_to_console = true;
  get_or_create_kernel();  // without it the store's operations report 109
  builder = std::make_shared<ModelBuilder>();
}

ModelImpl::~ModelImpl() {
  // The log file is the model's own; the callback is the caller's and is left alone.
  setLogFile(options, std::string());
}

const VariableImpl* ModelImpl::library_variable(const IVariable* var) noexcept {
  return dynamic_cast<const VariableImpl*>(var);
}

const char* ModelImpl::GetName() {
  return guarded<const char*>(nullptr, [this] { return builder->model->name.c_str(); });
}

void ModelImpl::SetName(const char* name) {
  // A null name is the empty name: the model has no name afterwards.
  guarded([&] { builder->model->name.assign(name ? name : ""); });
}

IVariable* ModelImpl::AddVariable(double lower_bound, double upper_bound, double obj_value, variable_type type,
                                  const char* name) {
  return member_view<VariableImpl>([&] {
    return builder->add_variable(lower_bound, upper_bound, obj_value,
                                 normalize_variable_type(static_cast<int>(type)), name, &options.log_options);
  });
}

int ModelImpl::GetVariablesCount() {
  return guarded(0, [this] { return static_cast<int>(builder->variable_count()); });
}

IVariable* ModelImpl::GetVariable(int idx) {
  return member_view<VariableImpl>([&] { return builder->variable_at_position(idx); });
}

IVariable* ModelImpl::GetVariableByName(const char* var_name) {
  return member_view<VariableImpl>([&] { return builder->find_variable_index(var_name ? var_name : ""); });
}

void ModelImpl::SetObjectiveSense(objective_sense sense) {
  guarded([&] { builder->model->objective_sense = static_cast<int>(sense) != 0 ? 1 : 0; });
}

objective_sense ModelImpl::GetObjectiveSense() {
  return guarded(objective_sense::minimize, [this] {
    return builder->model->objective_sense != 0 ? objective_sense::maximize : objective_sense::minimize;
  });
}

void ModelImpl::SetObjectiveOffset(double offset) {
  guarded([&] {
    refuse_non_finite(offset);
    builder->model->objective.constant = offset;
  });
}

void ModelImpl::ClearObjective() {
  guarded([this] {
    builder->replace_objective_terms({}, {}, builder->model->objective_sense);
    builder->model->objective.constant = 0.0;
  });
}

void ModelImpl::RemoveVar(IVariable* var) {
  guarded([&] {
    const VariableImpl* variable = library_variable(var);
    if (!variable) {
      SetError(get_message(396), -1);
      return;
    }
    if (variable->model() != builder) {
      SetError(get_message(394), -1);
      return;
    }
    builder->remove_variable(variable->index());  // 110 for a handle that refers to no column
  });
}

void ModelImpl::Clear() {
  guarded([this] {
    // The new store first: when it cannot be made, the model keeps its content.
    auto fresh = std::make_shared<ModelBuilder>();
    builder->remove_all();
    builder = std::move(fresh);
  });
}

bool ModelImpl::IsMip() {
  return guarded(false, [this] {
    const std::vector<Variable>& variables = builder->model->variables;
    return std::any_of(variables.begin(), variables.end(), [](const Variable& v) { return v.type != 0; });
  });
}

int ModelImpl::GetConstraintsCount() {
  return guarded(0, [this] { return static_cast<int>(builder->row_count()); });
}

int ModelImpl::GetGeneralConstraintsCount() {
  return guarded(0, [this] { return static_cast<int>(builder->general_constraint_count()); });
}

bool ModelImpl::IsNonlinear() {
  return guarded(false, [this] {
    const Model& record = *builder->model;
    if (builder->general_constraint_count() > 0 || !record.general_constraints.empty()) return true;
    if (!record.objective.quadratic_terms.empty()) return true;
    return std::any_of(record.rows.begin(), record.rows.end(),
                       [](const Constraint& row) { return !row.expression.quadratic_terms.empty(); });
  });
}

}  // namespace velorium::cpp_impl
