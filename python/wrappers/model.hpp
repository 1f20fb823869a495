// The module's value of a library model, and of its matrix-form face. Variables, constraints,
// general constraints and expressions it hands out are views on the model's data.
//
// (The public header forward-declares a velorium::Model of its own, the flat record that
// IModelImportExport trades in; the module never uses that interface, and this class is the
// module's own, with hidden visibility.)
#pragma once

#include <cstdint>
#include <string>

#include "python/wrappers/constraint.hpp"
#include "python/wrappers/general_constraint.hpp"
#include "python/wrappers/general_expression.hpp"
#include "python/wrappers/interface_value.hpp"
#include "python/wrappers/linear_expression.hpp"
#include "python/wrappers/quad_expression.hpp"
#include "python/wrappers/variable.hpp"

namespace velorium {

class Model : public InterfaceValue<IModel> {
 public:
  // A new model; a null name keeps the library's initial name, and a failure to set the name
  // is not reported.
  explicit Model(const char* name = nullptr);

  const char* get_name() const;
  void set_name(const char* name);

  int get_int_param(const char* name) const;
  double get_dbl_param(const char* name) const;
  // "" when the library gives no text.
  std::string get_string_param(const char* name) const;
  bool get_bool_param(const char* name) const;
  void set_int_param(const char* name, int value);
  void set_dbl_param(const char* name, double value);
  void set_string_param(const char* name, const char* value);
  void set_bool_param(const char* name, bool value);

  // An empty or null name-mapping file writes the model's own names.
  void write(const char* path, const char* name_mapping_file);
  void write_mps(const char* path, const char* name_mapping_file);
  void write_lp(const char* path, const char* name_mapping_file);

  Variable add_variable(double lower_bound, double upper_bound, double obj_value, variable_type type,
                        const char* name);
  // A constraint needs a term: an expression without linear and quadratic terms, which would
  // give no row but a free constraint, is refused (catalogue message 155) before the library
  // sees it. A null name is a generated one.
  Constraint add_constraint(const LinearExpression& expression, constraint_sense sense, double rhs,
                            const char* name);
  Constraint add_constraint(const QuadExpression& expression, constraint_sense sense, double rhs, const char* name);
  // lhs - rhs (sense) 0; neither expression changes.
  Constraint add_constraint(const LinearExpression& lhs, constraint_sense sense, const LinearExpression& rhs,
                            const char* name);
  Constraint add_constraint(const LinearExpression& expression, double lower, double upper, const char* name);
  Constraint add_constraint(const QuadExpression& expression, double lower, double upper, const char* name);
  // Adds a copy of the constraint object as a new row; gives the row. One without terms is
  // refused (155) as well: the library adds nothing for it.
  Constraint add_constraint(const Constraint& constraint, const char* name);

  Variable get_variable(int position) const;
  Variable get_variable(const char* name) const;
  int get_variables_count() const;
  int get_constraints_count() const;
  Constraint get_constraint(int position) const;
  Constraint get_constraint(const char* name) const;

  void set_objective_sense(objective_sense sense);
  // No check: the library cannot fail here.
  objective_sense get_objective_sense() const;
  void set_objective_offset(double offset);
  // The objective 1.0 * variable.
  void set_objective(const Variable& variable, objective_sense sense);
  void set_objective(const LinearExpression& expression, objective_sense sense);
  void set_objective(const QuadExpression& expression, objective_sense sense);
  // A view of the objective: changing it changes the model.
  LinearExpression get_objective() const;

  // Writes the name map the caller names, as solve_remote does (an empty path writes none).
  void solve_remote_async(const char* name_mapping_file);
  // The text belongs to the model, valid until the next call.
  const char* get_remote_solve_log(const char* calc_uid);

  void remove(const Variable& variable);
  void remove(const Constraint& constraint);
  void remove(const GeneralConstraint& constraint);
  void clear();
  void set_log_file(const char* path);

  void add_mip_start_value(const char* name, double value);
  void add_mip_start_value(const Variable& variable, double value);
  void add_mip_start_values(const char* sol_file);
  void clear_mip_start_values();
  // "" before the model's first remote calculation.
  std::string get_calc_uid() const;

  bool is_mip() const;
  bool is_nonlinear() const;

  int get_general_constraints_count() const;
  GeneralConstraint get_general_constraint(int position) const;
  GeneralConstraint get_general_constraint(const char* name) const;
  GeneralConstraint add_general_constraint(const GeneralExpression& expression, const Variable& variable,
                                           const char* name);
  GeneralConstraint add_general_constraint(const QuadExpression& expression, const Variable& variable,
                                           const char* name);
  GeneralConstraint add_general_constraint(const LinearExpression& expression, const Variable& variable,
                                           const char* name);
  void add_general_constraint(const GeneralConstraint& constraint);
};

// Refuses a constraint whose expression has neither linear nor quadratic terms (catalogue
// message 155), as Model::add_constraint does.
void require_terms(const Constraint& constraint);

// The matrix-form face: operations on the IMatrixModel view of the same library model.
class MatrixModel : public Model {
 public:
  using Model::Model;

  // Empties the model; no check.
  void clear();
  // Dense row-major Q (or null with 0 x 0) and linear coefficients (or null with 0).
  void set_objective(const double* q, std::uint64_t rows, std::uint64_t cols, const double* c,
                     std::uint64_t c_count, objective_sense sense);
  void add_constraint(const double* q, std::uint64_t rows, std::uint64_t cols, const double* c,
                      std::uint64_t c_count, constraint_sense sense, double rhs);

  IMatrixModel& matrix() const;
};

}  // namespace velorium
