// The model object that programs hold: the interface layer over a model store.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "cloud/remote_parameters.hpp"
#include "core/base/error_info_base.hpp"
#include "core/engine/solve_pipeline.hpp"
#include "core/options/velorium_options.hpp"
#include "core/records/expression.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;
class VariableImpl;
class expr_data;

// Owns no model data: variables, rows, general constraints, the objective and names live in
// `builder`, which every view handed out (variables, constraints, expressions, general
// constraints) shares. After Clear or a successful read the model works on a new store and
// the old one has every member marked removed, so old views report 111.
//
// Every operation clears the error information first, stores its failure there (catalogue
// text and -1, or the code of a caught velorium_exception) and returns its neutral value.
// Store additions log through the model's own log: a repeated variable name (23, the variable
// is changed in place) and a repeated constraint name (24, the new row gets another name) are
// warnings the modeller must see.
class ModelImpl : public ErrorInfoBase<IMatrixModel> {
 public:
  ModelImpl();
  ~ModelImpl() override;
  ModelImpl(const ModelImpl&) = delete;
  ModelImpl& operator=(const ModelImpl&) = delete;

  // INamedObject
  const char* GetName() override;
  void SetName(const char* name) override;

  // IModel, in the interface's order.
  void SetEngineString(const char* text) override;
  void Read(const char* file_name) override;
  void ReadMps(const char* file_name) override;
  void ReadLp(const char* file_name) override;
  void Write(const char* file_name, const char* name_mapping_file) override;
  void WriteMps(const char* file_name, const char* name_mapping_file) override;
  void WriteLp(const char* file_name, const char* name_mapping_file) override;
  int GetIntParam(const char* param_name) override;
  double GetDblParam(const char* param_name) override;
  const char* GetStringParam(const char* param_name) override;
  bool GetBoolParam(const char* param_name) override;
  void SetIntParam(const char* param_name, int param_value) override;
  void SetDblParam(const char* param_name, double param_value) override;
  void SetStringParam(const char* param_name, const char* param_value) override;
  void SetBoolParam(const char* param_name, bool param_value) override;
  IVariable* AddVariable(double lower_bound, double upper_bound, double obj_value, variable_type type,
                         const char* name) override;
  IConstraint* AddConstraint(IConstraint* constr, const char* constr_name) override;
  IConstraint* AddConstraintLinear2(ILinearExpression* expr, double lower_bound, double upper_bound,
                                    const char* name) override;
  IConstraint* AddConstraintQuad1(IQuadExpression* expr, constraint_sense sense, double rhs,
                                  const char* name) override;
  IConstraint* AddConstraintQuad2(IQuadExpression* expr, double lower_bound, double upper_bound,
                                  const char* name) override;
  IConstraint* AddConstraintLinear1(ILinearExpression* expr, constraint_sense sense, double rhs,
                                    const char* name) override;
  int GetVariablesCount() override;
  IVariable* GetVariable(int idx) override;
  IVariable* GetVariableByName(const char* var_name) override;
  int GetConstraintsCount() override;
  IConstraint* GetConstraint(int idx) override;
  IConstraint* GetConstraintByName(const char* constr_name) override;
  void SetObjectiveSense(objective_sense sense) override;
  objective_sense GetObjectiveSense() override;
  void SetObjectiveOffset(double offset) override;
  void SetObjectiveQuad(IQuadExpression* expr, objective_sense sense) override;
  void SetObjectiveLinear(ILinearExpression* expr, objective_sense sense) override;
  void ClearObjective() override;
  ILinearExpression* GetObjective() override;
  IQuadExpression* GetQuadObjective() override;
  ISolveResult* Solve() override;
  ISolveResult* SolveRemote(const char* name_mapping_file) override;
  void SolveRemoteAsync(const char* name_mapping_file) override;
  const char* GetRemoteSolveLog(const char* calc_uid) override;
  IComputeIisResult* ComputeIis() override;
  void RemoveGeneralConstraint(IGeneralConstraint* gc) override;
  void RemoveConstr(IConstraint* constr) override;
  void RemoveVar(IVariable* var) override;
  void Clear() override;
  void SetLogFile(const char* log_file) override;
  void SetLogCallback(ILogCallback* callback) override;
  void AddMipStartValue(IVariable* var, double value) override;
  void AddMipStartValueByName(const char* name, double value) override;
  void AddMipStartValues(const char* sol_file) override;
  void ClearMipStartValues() override;
  const char* GetCalcUID() override;
  bool IsMip() override;
  bool IsNonlinear() override;
  int GetGeneralConstraintsCount() override;
  IGeneralConstraint* GetGeneralConstraint(int idx) override;
  IGeneralConstraint* GetGeneralConstraintByName(const char* name) override;
  void AddGeneralConstraintObject(IGeneralConstraint* gc) override;
  IGeneralConstraint* AddGeneralConstraint(IGeneralExpression* expr, IVariable* var, const char* name) override;

  // IMatrixModel
  void AddVariables(std::uint64_t count, const double* lower_bounds, std::uint64_t lower_bounds_count,
                    const double* upper_bounds, std::uint64_t upper_bounds_count, const double* obj_coeffs,
                    std::uint64_t obj_coeffs_count, const std::int32_t* types, std::uint64_t types_count) override;
  void SetObjective(const double* q, std::uint64_t q_rows, std::uint64_t q_cols, const double* c,
                    std::uint64_t c_count, objective_sense sense) override;
  void SetObjectiveSparse(const double* q_values, const std::int32_t* q_col_indices,
                          const std::int32_t* q_row_starts, std::uint64_t q_rows, std::uint64_t q_cols,
                          const double* c, std::uint64_t c_count, objective_sense sense) override;
  int AddConstraint(const double* q, std::uint64_t q_rows, std::uint64_t q_cols, const double* c,
                    std::uint64_t c_count, constraint_sense sense, double rhs) override;
  int AddConstraintSparse(const double* q_values, const std::int32_t* q_col_indices,
                          const std::int32_t* q_row_starts, std::uint64_t q_rows, std::uint64_t q_cols,
                          const double* c, std::uint64_t c_count, constraint_sense sense, double rhs) override;
  int AddConstraintLinearSparse(const double* values, const std::int32_t* positions, std::uint64_t count,
                                constraint_sense sense, double rhs) override;

  // The store of the model's current content.
  const std::shared_ptr<ModelBuilder>& store() const noexcept { return builder; }

  // A copy of a string option's text; like GetStringParam (408 on a refusal, stored in the
  // model) but with nothing the model must keep alive.
  std::string GetStringParamCopy(const char* param_name);
  // What the remote path fills and reads: the model's remote parameter set and its pending
  // start values (variable name to value).
  nimbrova::RemoteParameters& remote_parameters() noexcept { return remote_params; }
  const std::unordered_map<std::string, double>& mip_start_values() const noexcept { return start_values; }

 private:
  // A new view (variable or constraint) on the store index that `find_index` gives; on its
  // failure (stored) a view that refers to no member (-1). Null only when the view itself
  // cannot be made.
  template <class View, class FindIndex>
  View* member_view(FindIndex&& find_index) noexcept {
    clear_error();
    std::int32_t index = -1;
    try {
      index = std::forward<FindIndex>(find_index)();
    } catch (...) {
      store_current_exception();
    }
    try {
      return new View(builder, index);
    } catch (...) {
      store_current_exception();
      return nullptr;
    }
  }
  // The row bounds of (sense, rhs) for AddConstraintLinear1 and AddConstraintQuad1; false with
  // the failure stored for a NaN right-hand side (505), which no sense may swallow.
  bool bounds_of_sense(constraint_sense sense, double rhs, double& lower, double& upper) noexcept;
  // AddConstraintLinear2 and AddConstraintQuad2: a row from the terms of `store` (391 for none,
  // 505 for a NaN bound).
  IConstraint* add_row_from_expression(expr_data* store, double lower_bound, double upper_bound, const char* name);
  // The objective becomes a copy of what `store` shows (391 for no store, 405 for terms of
  // another model), with `sense`.
  void set_objective_from(expr_data* store, objective_sense sense);
  // A new free constraint without terms, bound to this model's data.
  IConstraint* new_free_constraint();
  // A new row of `terms` (whose variables belong to `terms_model`) and a view on it; a free
  // constraint when there are no terms; 405 for terms of another model.
  IConstraint* add_row_from(const Expression& terms, const std::shared_ptr<ModelBuilder>& terms_model,
                            double lower_bound, double upper_bound, const char* name);
  // The store of a variable object of this library, or null for any other object.
  static const VariableImpl* library_variable(const IVariable* var) noexcept;

  // Reading and writing model files through the core object's import/export object; mode 0
  // by the file's extension, 1 MPS, 2 LP. A failed read leaves the model as it was. The readers
  // and writers log through the model's own log (file, callback, console), like every other
  // operation of the model.
  void read_model_file(const char* file_name, std::uint8_t mode) noexcept;
  void write_model_file(const char* file_name, std::uint8_t mode, const char* name_mapping_file) noexcept;
  // The engine's per-run object with the flat model and the start values handed over (which
  // then leave the model); null with the reason stored. The maps receive the flat model's
  // old-to-new index tables.
  std::unique_ptr<SolvePipeline> create_solve_pipeline(const VeloriumOptions& run_options,
                                                       std::vector<std::int32_t>& variable_map,
                                                       std::vector<std::int32_t>& row_map) noexcept;
  // Runs a pipeline of `run_options`; the result object comes from `make_result`, and a failed
  // run stores the engine's text or `run_failure_message`.
  template <class Result, class MakeResult>
  Result* run_local(const VeloriumOptions& run_options, int run_failure_message, MakeResult&& make_result) noexcept;
  // Hands each finished log text to the model's log callback.
  static void log_trampoline(int level, const char* text, void* user) noexcept;

  std::string engine_string;
  std::shared_ptr<ModelBuilder> builder;
  std::unordered_map<std::string, double> start_values;
  bool start_values_pending = false;
  VeloriumOptions options;
  nimbrova::RemoteParameters remote_params;
  std::string last_calc_uid;
  ILogCallback* log_callback = nullptr;  // not owned
  std::string remote_log;
};

}  // namespace velorium::cpp_impl
