#include "python/wrappers/model.hpp"

#include "core/text/message_catalogue.hpp"

namespace velorium {

namespace {

constexpr int kEmptyConstraint = 155;

void refuse_without_terms(const LinearExpression& linear, const QuadExpression& quadratic) {
  if (linear.get_terms_count() == 0 && quadratic.get_terms_count() == 0) {
    throw velorium_exception(-1, get_message(kEmptyConstraint));
  }
}

void refuse_without_terms(const LinearExpression& expression) {
  refuse_without_terms(expression, expression.get_quad_part());
}

void refuse_without_terms(const QuadExpression& expression) {
  refuse_without_terms(expression.get_linear_part(), expression);
}

}  // namespace

void require_terms(const Constraint& constraint) { refuse_without_terms(constraint.get_linear_expression()); }

Model::Model(const char* name) : InterfaceValue(make_interface_ptr(CreateModel()), ModelUse::new_model_use()) {
  check();
  if (name) object().SetName(name);
}

const char* Model::get_name() const { return call(&IModel::GetName); }
void Model::set_name(const char* name) { call(&IModel::SetName, name); }

int Model::get_int_param(const char* name) const { return call(&IModel::GetIntParam, name); }
double Model::get_dbl_param(const char* name) const { return call(&IModel::GetDblParam, name); }

std::string Model::get_string_param(const char* name) const {
  const char* text = call(&IModel::GetStringParam, name);
  return text ? std::string(text) : std::string();
}

bool Model::get_bool_param(const char* name) const { return call(&IModel::GetBoolParam, name); }
void Model::set_int_param(const char* name, int value) { call(&IModel::SetIntParam, name, value); }
void Model::set_dbl_param(const char* name, double value) { call(&IModel::SetDblParam, name, value); }
void Model::set_string_param(const char* name, const char* value) { call(&IModel::SetStringParam, name, value); }
void Model::set_bool_param(const char* name, bool value) { call(&IModel::SetBoolParam, name, value); }

void Model::write(const char* path, const char* name_mapping_file) {
  call(&IModel::Write, path, name_mapping_file ? name_mapping_file : "");
}

void Model::write_mps(const char* path, const char* name_mapping_file) {
  call(&IModel::WriteMps, path, name_mapping_file ? name_mapping_file : "");
}

void Model::write_lp(const char* path, const char* name_mapping_file) {
  call(&IModel::WriteLp, path, name_mapping_file ? name_mapping_file : "");
}

Variable Model::add_variable(double lower_bound, double upper_bound, double obj_value, variable_type type,
                             const char* name) {
  return call_adopt<Variable>(&IModel::AddVariable, lower_bound, upper_bound, obj_value, type, name);
}

Constraint Model::add_constraint(const LinearExpression& expression, constraint_sense sense, double rhs,
                                 const char* name) {
  refuse_without_terms(expression);
  return call_adopt<Constraint>(&IModel::AddConstraintLinear1, expression.get_interface(), sense, rhs, name);
}

Constraint Model::add_constraint(const QuadExpression& expression, constraint_sense sense, double rhs,
                                 const char* name) {
  refuse_without_terms(expression);
  return call_adopt<Constraint>(&IModel::AddConstraintQuad1, expression.get_interface(), sense, rhs, name);
}

Constraint Model::add_constraint(const LinearExpression& lhs, constraint_sense sense, const LinearExpression& rhs,
                                 const char* name) {
  LinearExpression difference = lhs.copy();
  difference.add_expression(rhs, -1.0);
  return add_constraint(difference, sense, 0.0, name);
}

Constraint Model::add_constraint(const LinearExpression& expression, double lower, double upper, const char* name) {
  refuse_without_terms(expression);
  return call_adopt<Constraint>(&IModel::AddConstraintLinear2, expression.get_interface(), lower, upper, name);
}

Constraint Model::add_constraint(const QuadExpression& expression, double lower, double upper, const char* name) {
  refuse_without_terms(expression);
  return call_adopt<Constraint>(&IModel::AddConstraintQuad2, expression.get_interface(), lower, upper, name);
}

Constraint Model::add_constraint(const Constraint& constraint, const char* name) {
  // The library gives a free constraint, and adds no row, for a constraint object without
  // terms: the row count tells, with no view of the object's terms to make.
  IModel& model = object();
  const int rows = model.GetConstraintsCount();
  Constraint row = call_adopt<Constraint>(&IModel::AddConstraint, constraint.get_interface(), name);
  if (model.GetConstraintsCount() == rows) throw velorium_exception(-1, get_message(kEmptyConstraint));
  return row;
}

Variable Model::get_variable(int position) const { return call_adopt<Variable>(&IModel::GetVariable, position); }
Variable Model::get_variable(const char* name) const { return call_adopt<Variable>(&IModel::GetVariableByName, name); }
int Model::get_variables_count() const { return call(&IModel::GetVariablesCount); }
int Model::get_constraints_count() const { return call(&IModel::GetConstraintsCount); }

Constraint Model::get_constraint(int position) const {
  return call_adopt<Constraint>(&IModel::GetConstraint, position);
}

Constraint Model::get_constraint(const char* name) const {
  return call_adopt<Constraint>(&IModel::GetConstraintByName, name);
}

void Model::set_objective_sense(objective_sense sense) { call(&IModel::SetObjectiveSense, sense); }
objective_sense Model::get_objective_sense() const { return object().GetObjectiveSense(); }
void Model::set_objective_offset(double offset) { call(&IModel::SetObjectiveOffset, offset); }

void Model::set_objective(const Variable& variable, objective_sense sense) {
  LinearExpression expression = adopt<LinearExpression>(CreateLinearExpression());
  expression.object().AddTerm(variable.get_interface(), 1.0);
  set_objective(expression, sense);
}

void Model::set_objective(const LinearExpression& expression, objective_sense sense) {
  call(&IModel::SetObjectiveLinear, expression.get_interface(), sense);
}

void Model::set_objective(const QuadExpression& expression, objective_sense sense) {
  call(&IModel::SetObjectiveQuad, expression.get_interface(), sense);
}

LinearExpression Model::get_objective() const { return call_adopt<LinearExpression>(&IModel::GetObjective); }

void Model::solve_remote_async(const char* name_mapping_file) {
  call(&IModel::SolveRemoteAsync, name_mapping_file);
}

const char* Model::get_remote_solve_log(const char* calc_uid) { return call(&IModel::GetRemoteSolveLog, calc_uid); }

void Model::remove(const Variable& variable) { call(&IModel::RemoveVar, variable.get_interface()); }
void Model::remove(const Constraint& constraint) { call(&IModel::RemoveConstr, constraint.get_interface()); }

void Model::remove(const GeneralConstraint& constraint) {
  call(&IModel::RemoveGeneralConstraint, constraint.get_interface());
}

void Model::clear() { call(&IModel::Clear); }
void Model::set_log_file(const char* path) { call(&IModel::SetLogFile, path); }
void Model::add_mip_start_value(const char* name, double value) { call(&IModel::AddMipStartValueByName, name, value); }

void Model::add_mip_start_value(const Variable& variable, double value) {
  call(&IModel::AddMipStartValue, variable.get_interface(), value);
}

void Model::add_mip_start_values(const char* sol_file) { call(&IModel::AddMipStartValues, sol_file); }
void Model::clear_mip_start_values() { call(&IModel::ClearMipStartValues); }

std::string Model::get_calc_uid() const {
  const char* uid = call(&IModel::GetCalcUID);
  return uid ? std::string(uid) : std::string();
}

bool Model::is_mip() const { return call(&IModel::IsMip); }
bool Model::is_nonlinear() const { return call(&IModel::IsNonlinear); }
int Model::get_general_constraints_count() const { return call(&IModel::GetGeneralConstraintsCount); }

GeneralConstraint Model::get_general_constraint(int position) const {
  return call_adopt<GeneralConstraint>(&IModel::GetGeneralConstraint, position);
}

GeneralConstraint Model::get_general_constraint(const char* name) const {
  return call_adopt<GeneralConstraint>(&IModel::GetGeneralConstraintByName, name);
}

GeneralConstraint Model::add_general_constraint(const GeneralExpression& expression, const Variable& variable,
                                                const char* name) {
  return call_adopt<GeneralConstraint>(&IModel::AddGeneralConstraint, expression.get_interface(),
                                       variable.get_interface(), name);
}

GeneralConstraint Model::add_general_constraint(const QuadExpression& expression, const Variable& variable,
                                                const char* name) {
  return add_general_constraint(make_general_expression(expression), variable, name);
}

GeneralConstraint Model::add_general_constraint(const LinearExpression& expression, const Variable& variable,
                                                const char* name) {
  return add_general_constraint(make_general_expression(expression), variable, name);
}

void Model::add_general_constraint(const GeneralConstraint& constraint) {
  call(&IModel::AddGeneralConstraintObject, constraint.get_interface());
}

IMatrixModel& MatrixModel::matrix() const {
  // Every model of the library has the matrix face; anything else is refused, not trusted.
  auto* face = dynamic_cast<IMatrixModel*>(&object());
  if (!face) throw_missing_object();
  return *face;
}

void MatrixModel::clear() { matrix().Clear(); }

void MatrixModel::set_objective(const double* q, std::uint64_t rows, std::uint64_t cols, const double* c,
                                std::uint64_t c_count, objective_sense sense) {
  IMatrixModel& face = matrix();
  face.SetObjective(q, rows, cols, c, c_count, sense);
  check_error(&face);
}

void MatrixModel::add_constraint(const double* q, std::uint64_t rows, std::uint64_t cols, const double* c,
                                 std::uint64_t c_count, constraint_sense sense, double rhs) {
  IMatrixModel& face = matrix();
  face.AddConstraint(q, rows, cols, c, c_count, sense, rhs);
  check_error(&face);
}

}  // namespace velorium
