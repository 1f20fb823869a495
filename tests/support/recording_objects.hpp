// Objects of every public interface that only record how they were called: the last operation
// with its arguments, as text, and how many operations ran. Every operation returns
// recorded_result<R>(), a value distinct from the neutral ones, so a caller can check that a
// result came back unchanged. They let the function interface be tested without the library's
// implementation classes.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <type_traits>

#include "velorium/velorium.hpp"

namespace velorium::testing {

// An argument or result as the recording objects print it: pointers by address, enumerations
// and bools as numbers.
template <class T>
std::string value_text(const T& value) {
  std::ostringstream text;
  if constexpr (std::is_pointer_v<T>) {
    text << static_cast<const void*>(value);
  } else if constexpr (std::is_enum_v<T>) {
    text << static_cast<long long>(value);
  } else if constexpr (std::is_floating_point_v<T>) {
    text.precision(17);
    text << value;
  } else {
    text << +value;
  }
  return text.str();
}

// "Operation(argument, argument, ...)"
template <class... Args>
std::string call_text(const std::string& operation, const Args&... args) {
  std::string text = operation + "(";
  const char* separator = "";
  ((text += separator, text += value_text(args), separator = ", "), ...);
  return text + ")";
}

// What a recording object returns from an operation with result type R (bool results are set
// per object, see CallLog::bool_result).
template <class R>
R recorded_result() {
  if constexpr (std::is_pointer_v<R>) {
    return reinterpret_cast<R>(std::uintptr_t{0xC0FFEE0});
  } else {
    return static_cast<R>(3);
  }
}

class CallLog {
 public:
  std::string last_call() const { return last_call_; }
  int call_count() const { return call_count_; }
  void clear_calls() {
    last_call_.clear();
    call_count_ = 0;
  }
  // The result of every operation that returns bool.
  bool bool_result = true;

 protected:
  template <class R, class... Args>
  R record(const char* operation, const Args&... args) const {
    last_call_ = call_text(operation, args...);
    ++call_count_;
    if constexpr (std::is_same_v<R, bool>) {
      return bool_result;
    } else if constexpr (!std::is_void_v<R>) {
      return recorded_result<R>();
    }
  }

 private:
  mutable std::string last_call_;
  mutable int call_count_ = 0;
};

// The operations of the three bases, for a recording object derived from Face.
#define VELORIUM_RECORD_ERROR_INFO                                                 \
  int GetErrorCode() const override { return record<int>("GetErrorCode"); }       \
  const char* GetErrorText() const override {                                      \
    return record<const char*>("GetErrorText");                                    \
  }
#define VELORIUM_RECORD_RELEASE \
  void Release() override { record<void>("Release"); }
#define VELORIUM_RECORD_NAME                                                       \
  const char* GetName() override { return record<const char*>("GetName"); }       \
  void SetName(const char* name) override { record<void>("SetName", name); }

class RecordingVariable : public IVariable, public CallLog {
 public:
  VELORIUM_RECORD_NAME
  VELORIUM_RECORD_ERROR_INFO
  VELORIUM_RECORD_RELEASE
  void SetUpperBound(double value) override { record<void>("SetUpperBound", value); }
  double GetUpperBound() override { return record<double>("GetUpperBound"); }
  void SetLowerBound(double value) override { record<void>("SetLowerBound", value); }
  double GetLowerBound() override { return record<double>("GetLowerBound"); }
  void Remove() override { record<void>("Remove"); }
  variable_type GetType() override { return record<variable_type>("GetType"); }
  void SetType(variable_type type) override { record<void>("SetType", type); }
};

class RecordingConstraint : public IConstraint, public CallLog {
 public:
  VELORIUM_RECORD_NAME
  VELORIUM_RECORD_ERROR_INFO
  VELORIUM_RECORD_RELEASE
  void Remove() override { record<void>("Remove"); }
  ILinearExpression* GetLinearExpression() override {
    return record<ILinearExpression*>("GetLinearExpression");
  }
  IQuadExpression* GetQuadExpression() override {
    return record<IQuadExpression*>("GetQuadExpression");
  }
  void SetUpperBound(double value) override { record<void>("SetUpperBound", value); }
  double GetUpperBound() override { return record<double>("GetUpperBound"); }
  void SetLowerBound(double value) override { record<void>("SetLowerBound", value); }
  double GetLowerBound() override { return record<double>("GetLowerBound"); }
  double GetRange() override { return record<double>("GetRange"); }
  void SetRange(double range) override { record<void>("SetRange", range); }
};

class RecordingGeneralConstraint : public IGeneralConstraint, public CallLog {
 public:
  VELORIUM_RECORD_NAME
  VELORIUM_RECORD_ERROR_INFO
  VELORIUM_RECORD_RELEASE
  void Remove() override { record<void>("Remove"); }
  IGeneralExpression* GetExpression() override {
    return record<IGeneralExpression*>("GetExpression");
  }
  IVariable* GetVariable() override { return record<IVariable*>("GetVariable"); }
};

class RecordingLinearExpression : public ILinearExpression, public CallLog {
 public:
  VELORIUM_RECORD_NAME
  VELORIUM_RECORD_ERROR_INFO
  VELORIUM_RECORD_RELEASE
  int GetTermsCount() override { return record<int>("GetTermsCount"); }
  IVariable* GetTermVariable(int i) override { return record<IVariable*>("GetTermVariable", i); }
  int GetTermVariableIndex(int i) override { return record<int>("GetTermVariableIndex", i); }
  double GetTermCoeff(int i) override { return record<double>("GetTermCoeff", i); }
  void SetTermCoeff(int i, double coeff) override { record<void>("SetTermCoeff", i, coeff); }
  double GetConstant() override { return record<double>("GetConstant"); }
  void SetConstant(double value) override { record<void>("SetConstant", value); }
  void AddConstant(double value) override { record<void>("AddConstant", value); }
  void AddTerm(const IVariable* var, double coeff) override {
    record<void>("AddTerm", var, coeff);
  }
  void AddExpression(const ILinearExpression* expr, double factor) override {
    record<void>("AddExpression", expr, factor);
  }
  void RemoveTerm(int i) override { record<void>("RemoveTerm", i); }
  void RemoveVariable(const IVariable* var) override { record<void>("RemoveVariable", var); }
  IQuadExpression* GetQuadPart() override { return record<IQuadExpression*>("GetQuadPart"); }
  ILinearExpression* CreateFreeCopy() override {
    return record<ILinearExpression*>("CreateFreeCopy");
  }
};

class RecordingQuadExpression : public IQuadExpression, public CallLog {
 public:
  VELORIUM_RECORD_NAME
  VELORIUM_RECORD_ERROR_INFO
  VELORIUM_RECORD_RELEASE
  int GetTermsCount() override { return record<int>("GetTermsCount"); }
  IVariable* GetTermVariable1(int i) override {
    return record<IVariable*>("GetTermVariable1", i);
  }
  int GetTermVariable1Index(int i) override { return record<int>("GetTermVariable1Index", i); }
  IVariable* GetTermVariable2(int i) override {
    return record<IVariable*>("GetTermVariable2", i);
  }
  int GetTermVariable2Index(int i) override { return record<int>("GetTermVariable2Index", i); }
  double GetTermCoeff(int i) override { return record<double>("GetTermCoeff", i); }
  void SetTermCoeff(int i, double coeff) override { record<void>("SetTermCoeff", i, coeff); }
  void AddTerm(const IVariable* var1, const IVariable* var2, double coeff) override {
    record<void>("AddTerm", var1, var2, coeff);
  }
  void AddExpression(const IQuadExpression* expr, double factor) override {
    record<void>("AddExpression", expr, factor);
  }
  void RemoveTerm(int i) override { record<void>("RemoveTerm", i); }
  ILinearExpression* GetLinearPart() override {
    return record<ILinearExpression*>("GetLinearPart");
  }
  IQuadExpression* CreateFreeCopy() override {
    return record<IQuadExpression*>("CreateFreeCopy");
  }
};

class RecordingGeneralExpression : public IGeneralExpression, public CallLog {
 public:
  VELORIUM_RECORD_ERROR_INFO
  VELORIUM_RECORD_RELEASE
  gen_expr_type GetType() override { return record<gen_expr_type>("GetType"); }
  double GetConstant() override { return record<double>("GetConstant"); }
  IVariable* GetVariable() override { return record<IVariable*>("GetVariable"); }
  int GetExprCount() override { return record<int>("GetExprCount"); }
  int GetArity() override { return record<int>("GetArity"); }
  IGeneralExpression* GetExpr(int index) override {
    return record<IGeneralExpression*>("GetExpr", index);
  }
  void SetExpr(int index, const IGeneralExpression* expr) override {
    record<void>("SetExpr", index, expr);
  }
  void AddExpr(const IGeneralExpression* expr) override { record<void>("AddExpr", expr); }
  void RemoveExpr(int index) override { record<void>("RemoveExpr", index); }
  IGeneralExpression* CreateFreeCopy() override {
    return record<IGeneralExpression*>("CreateFreeCopy");
  }
};

// Face is ISolveResult (a result without the array face) or ISolveResultEx.
template <class Face>
class RecordingSolveResultT : public Face, public CallLog {
 public:
  VELORIUM_RECORD_ERROR_INFO
  VELORIUM_RECORD_RELEASE
  solve_result GetSolveResult() override { return record<solve_result>("GetSolveResult"); }
  solution_status GetSolutionStatus() override {
    return record<solution_status>("GetSolutionStatus");
  }
  double GetRelativeGap() override { return record<double>("GetRelativeGap"); }
  std::int32_t GetIterationsCount() override {
    return record<std::int32_t>("GetIterationsCount");
  }
  std::int64_t GetProcessedNodesCount() override {
    return record<std::int64_t>("GetProcessedNodesCount");
  }
  double GetObjectiveFunctionValue() override {
    return record<double>("GetObjectiveFunctionValue");
  }
  double GetBestBoundValue() override { return record<double>("GetBestBoundValue"); }
  double GetSolveTime() override { return record<double>("GetSolveTime"); }
  double GetVariableValueByName(const char* var_name) override {
    return record<double>("GetVariableValueByName", var_name);
  }
  double GetVariableValue(IVariable* var) override {
    return record<double>("GetVariableValue", var);
  }
  double GetDualValueByName(const char* constraint_name) override {
    return record<double>("GetDualValueByName", constraint_name);
  }
  double GetDualValue(IConstraint* constraint) override {
    return record<double>("GetDualValue", constraint);
  }
  double GetReducedCostByName(const char* var_name) override {
    return record<double>("GetReducedCostByName", var_name);
  }
  double GetReducedCost(IVariable* var) override { return record<double>("GetReducedCost", var); }
  double GetExpressionValueQuad(IQuadExpression* expr) override {
    return record<double>("GetExpressionValueQuad", expr);
  }
  double GetExpressionValueLinear(ILinearExpression* expr) override {
    return record<double>("GetExpressionValueLinear", expr);
  }
  void WriteSolution(const char* file_name) override { record<void>("WriteSolution", file_name); }

 protected:
  using CallLog::record;
};

class RecordingSolveResultEx : public RecordingSolveResultT<ISolveResultEx> {
 public:
  const double* GetValuesArray(std::uint64_t* count) override {
    return record<const double*>("GetValuesArray", count);
  }
  const double* GetDualValuesArray(std::uint64_t* count) override {
    return record<const double*>("GetDualValuesArray", count);
  }
  const double* GetReducedCostsArray(std::uint64_t* count) override {
    return record<const double*>("GetReducedCostsArray", count);
  }
};

using RecordingSolveResult = RecordingSolveResultT<ISolveResult>;

class RecordingComputeIisResult : public IComputeIisResult, public CallLog {
 public:
  VELORIUM_RECORD_ERROR_INFO
  VELORIUM_RECORD_RELEASE
  solve_result GetComputeIisResult() override {
    return record<solve_result>("GetComputeIisResult");
  }
  int GetModelStatus() override { return record<int>("GetModelStatus"); }
  bool GetMinimal() override { return record<bool>("GetMinimal"); }
  std::int32_t GetNumConstraints() override { return record<std::int32_t>("GetNumConstraints"); }
  std::int32_t GetNumBounds() override { return record<std::int32_t>("GetNumBounds"); }
  double GetComputeIisTime() override { return record<double>("GetComputeIisTime"); }
  void WriteIis(const char* file_name) override { record<void>("WriteIis", file_name); }
};

// Face is IModel (a model without the matrix-form face), IMatrixModel, or a class derived from
// IMatrixModel (as the library's error-information base for it).
template <class Face>
class RecordingModelT : public Face, public CallLog {
 public:
  VELORIUM_RECORD_NAME
  VELORIUM_RECORD_ERROR_INFO
  VELORIUM_RECORD_RELEASE
  void SetEngineString(const char* text) override { record<void>("SetEngineString", text); }
  void Read(const char* file_name) override { record<void>("Read", file_name); }
  void ReadMps(const char* file_name) override { record<void>("ReadMps", file_name); }
  void ReadLp(const char* file_name) override { record<void>("ReadLp", file_name); }
  void Write(const char* file_name, const char* name_mapping_file) override {
    record<void>("Write", file_name, name_mapping_file);
  }
  void WriteMps(const char* file_name, const char* name_mapping_file) override {
    record<void>("WriteMps", file_name, name_mapping_file);
  }
  void WriteLp(const char* file_name, const char* name_mapping_file) override {
    record<void>("WriteLp", file_name, name_mapping_file);
  }
  int GetIntParam(const char* param_name) override {
    return record<int>("GetIntParam", param_name);
  }
  double GetDblParam(const char* param_name) override {
    return record<double>("GetDblParam", param_name);
  }
  const char* GetStringParam(const char* param_name) override {
    return record<const char*>("GetStringParam", param_name);
  }
  bool GetBoolParam(const char* param_name) override {
    return record<bool>("GetBoolParam", param_name);
  }
  void SetIntParam(const char* param_name, int param_value) override {
    record<void>("SetIntParam", param_name, param_value);
  }
  void SetDblParam(const char* param_name, double param_value) override {
    record<void>("SetDblParam", param_name, param_value);
  }
  void SetStringParam(const char* param_name, const char* param_value) override {
    record<void>("SetStringParam", param_name, param_value);
  }
  void SetBoolParam(const char* param_name, bool param_value) override {
    record<void>("SetBoolParam", param_name, param_value);
  }
  IVariable* AddVariable(double lower_bound, double upper_bound, double obj_value,
                         variable_type type, const char* name) override {
    return record<IVariable*>("AddVariable", lower_bound, upper_bound, obj_value, type, name);
  }
  IConstraint* AddConstraint(IConstraint* constr, const char* constr_name) override {
    return record<IConstraint*>("AddConstraint", constr, constr_name);
  }
  IConstraint* AddConstraintLinear2(ILinearExpression* expr, double lower_bound,
                                    double upper_bound, const char* name) override {
    return record<IConstraint*>("AddConstraintLinear2", expr, lower_bound, upper_bound, name);
  }
  IConstraint* AddConstraintQuad1(IQuadExpression* expr, constraint_sense sense, double rhs,
                                  const char* name) override {
    return record<IConstraint*>("AddConstraintQuad1", expr, sense, rhs, name);
  }
  IConstraint* AddConstraintQuad2(IQuadExpression* expr, double lower_bound, double upper_bound,
                                  const char* name) override {
    return record<IConstraint*>("AddConstraintQuad2", expr, lower_bound, upper_bound, name);
  }
  IConstraint* AddConstraintLinear1(ILinearExpression* expr, constraint_sense sense, double rhs,
                                    const char* name) override {
    return record<IConstraint*>("AddConstraintLinear1", expr, sense, rhs, name);
  }
  int GetVariablesCount() override { return record<int>("GetVariablesCount"); }
  IVariable* GetVariable(int idx) override { return record<IVariable*>("GetVariable", idx); }
  IVariable* GetVariableByName(const char* var_name) override {
    return record<IVariable*>("GetVariableByName", var_name);
  }
  int GetConstraintsCount() override { return record<int>("GetConstraintsCount"); }
  IConstraint* GetConstraint(int idx) override {
    return record<IConstraint*>("GetConstraint", idx);
  }
  IConstraint* GetConstraintByName(const char* constr_name) override {
    return record<IConstraint*>("GetConstraintByName", constr_name);
  }
  void SetObjectiveSense(objective_sense sense) override {
    record<void>("SetObjectiveSense", sense);
  }
  objective_sense GetObjectiveSense() override {
    return record<objective_sense>("GetObjectiveSense");
  }
  void SetObjectiveOffset(double offset) override { record<void>("SetObjectiveOffset", offset); }
  void SetObjectiveQuad(IQuadExpression* expr, objective_sense sense) override {
    record<void>("SetObjectiveQuad", expr, sense);
  }
  void SetObjectiveLinear(ILinearExpression* expr, objective_sense sense) override {
    record<void>("SetObjectiveLinear", expr, sense);
  }
  void ClearObjective() override { record<void>("ClearObjective"); }
  ILinearExpression* GetObjective() override { return record<ILinearExpression*>("GetObjective"); }
  IQuadExpression* GetQuadObjective() override {
    return record<IQuadExpression*>("GetQuadObjective");
  }
  ISolveResult* Solve() override { return record<ISolveResult*>("Solve"); }
  ISolveResult* SolveRemote(const char* name_mapping_file) override {
    return record<ISolveResult*>("SolveRemote", name_mapping_file);
  }
  void SolveRemoteAsync(const char* name_mapping_file) override {
    record<void>("SolveRemoteAsync", name_mapping_file);
  }
  const char* GetRemoteSolveLog(const char* calc_uid) override {
    return record<const char*>("GetRemoteSolveLog", calc_uid);
  }
  IComputeIisResult* ComputeIis() override { return record<IComputeIisResult*>("ComputeIis"); }
  void RemoveGeneralConstraint(IGeneralConstraint* gc) override {
    record<void>("RemoveGeneralConstraint", gc);
  }
  void RemoveConstr(IConstraint* constr) override { record<void>("RemoveConstr", constr); }
  void RemoveVar(IVariable* var) override { record<void>("RemoveVar", var); }
  void Clear() override { record<void>("Clear"); }
  void SetLogFile(const char* log_file) override { record<void>("SetLogFile", log_file); }
  void SetLogCallback(ILogCallback* callback) override {
    record<void>("SetLogCallback", callback);
  }
  void AddMipStartValue(IVariable* var, double value) override {
    record<void>("AddMipStartValue", var, value);
  }
  void AddMipStartValueByName(const char* name, double value) override {
    record<void>("AddMipStartValueByName", name, value);
  }
  void AddMipStartValues(const char* sol_file) override {
    record<void>("AddMipStartValues", sol_file);
  }
  void ClearMipStartValues() override { record<void>("ClearMipStartValues"); }
  const char* GetCalcUID() override { return record<const char*>("GetCalcUID"); }
  bool IsMip() override { return record<bool>("IsMip"); }
  bool IsNonlinear() override { return record<bool>("IsNonlinear"); }
  int GetGeneralConstraintsCount() override {
    return record<int>("GetGeneralConstraintsCount");
  }
  IGeneralConstraint* GetGeneralConstraint(int idx) override {
    return record<IGeneralConstraint*>("GetGeneralConstraint", idx);
  }
  IGeneralConstraint* GetGeneralConstraintByName(const char* name) override {
    return record<IGeneralConstraint*>("GetGeneralConstraintByName", name);
  }
  void AddGeneralConstraintObject(IGeneralConstraint* gc) override {
    record<void>("AddGeneralConstraintObject", gc);
  }
  IGeneralConstraint* AddGeneralConstraint(IGeneralExpression* expr, IVariable* var,
                                           const char* name) override {
    return record<IGeneralConstraint*>("AddGeneralConstraint", expr, var, name);
  }

 protected:
  using CallLog::record;
};

template <class Face>
class RecordingMatrixModelT : public RecordingModelT<Face> {
 public:
  using RecordingModelT<Face>::AddConstraint;
  void AddVariables(std::uint64_t count, const double* lower_bounds,
                    std::uint64_t lower_bounds_count, const double* upper_bounds,
                    std::uint64_t upper_bounds_count, const double* obj_coeffs,
                    std::uint64_t obj_coeffs_count, const std::int32_t* types,
                    std::uint64_t types_count) override {
    this->template record<void>("AddVariables", count, lower_bounds, lower_bounds_count,
                                upper_bounds, upper_bounds_count, obj_coeffs, obj_coeffs_count,
                                types, types_count);
  }
  void SetObjective(const double* q, std::uint64_t q_rows, std::uint64_t q_cols,
                    const double* c, std::uint64_t c_count, objective_sense sense) override {
    this->template record<void>("SetObjective", q, q_rows, q_cols, c, c_count, sense);
  }
  void SetObjectiveSparse(const double* q_values, const std::int32_t* q_col_indices,
                          const std::int32_t* q_row_starts, std::uint64_t q_rows,
                          std::uint64_t q_cols, const double* c, std::uint64_t c_count,
                          objective_sense sense) override {
    this->template record<void>("SetObjectiveSparse", q_values, q_col_indices, q_row_starts,
                                q_rows, q_cols, c, c_count, sense);
  }
  int AddConstraint(const double* q, std::uint64_t q_rows, std::uint64_t q_cols,
                    const double* c, std::uint64_t c_count, constraint_sense sense,
                    double rhs) override {
    return this->template record<int>("AddConstraint", q, q_rows, q_cols, c, c_count, sense,
                                      rhs);
  }
  int AddConstraintSparse(const double* q_values, const std::int32_t* q_col_indices,
                          const std::int32_t* q_row_starts, std::uint64_t q_rows,
                          std::uint64_t q_cols, const double* c, std::uint64_t c_count,
                          constraint_sense sense, double rhs) override {
    return this->template record<int>("AddConstraintSparse", q_values, q_col_indices,
                                      q_row_starts, q_rows, q_cols, c, c_count, sense, rhs);
  }
  int AddConstraintLinearSparse(const double* values, const std::int32_t* positions,
                                std::uint64_t count, constraint_sense sense,
                                double rhs) override {
    return this->template record<int>("AddConstraintLinearSparse", values, positions, count,
                                      sense, rhs);
  }
};

using RecordingModel = RecordingModelT<IModel>;
using RecordingMatrixModel = RecordingMatrixModelT<IMatrixModel>;

#undef VELORIUM_RECORD_ERROR_INFO
#undef VELORIUM_RECORD_RELEASE
#undef VELORIUM_RECORD_NAME

}  // namespace velorium::testing
