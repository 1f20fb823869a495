// Velorium object interface: interfaces, enumerations, the library's exception and factories.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>

#if defined(VELORIUM_BUILDING_LIBRARY)
#define VELORIUM_API __attribute__((visibility("default")))
#else
#define VELORIUM_API
#endif

namespace velorium {

// Positive infinity: the value of a missing bound.
inline constexpr double kVeloriumInf = std::numeric_limits<double>::infinity();

enum class variable_type : int { continuous = 0, binary = 1, integer = 2, semicontinuous = 3, semiinteger = 4 };
enum class constraint_sense : int { equal = 0, less_equal = 1, greater_equal = 2 };
enum class objective_sense : int { minimize = 0, maximize = 1 };
enum class solution_status : int {
  invalid_solution = 0,
  optimal = 1,
  feasible = 2,
  infeasible = 3,
  unbounded = 4,
  infeasible_or_unbounded = 5,
  imprecise = 6,
};
enum class solve_result : int {
  success = 0,
  fail = 1,
  remote_invalid_api_key = 2,
  remote_api_key_not_set = 3,
  remote_time_amount_is_over = 4,
  remote_time_per_calc_violated = 5,
  remote_fail = 6,
};
// Plus and multiply take any number of children; minus, divide, pow and signpow two; the
// functions one; constants and variables none.
enum class gen_expr_type : int {
  constant = 0,
  variable = 1,
  minus = 2,
  plus = 3,
  divide = 4,
  multiply = 5,
  func_square_root = 6,
  func_sqr = 7,
  func_pow = 8,
  func_exp = 9,
  func_log = 10,
  func_log2 = 11,
  func_log10 = 12,
  func_sin = 13,
  func_cos = 14,
  func_tan = 15,
  func_logistic = 16,
  func_tanh = 17,
  func_signpow = 18,
};
// The special values of the start-value completion node limit.
enum class MipStartCompletion : int { AUTO = -1, FULL_START_ONLY = -2, DISABLED = -3 };

// The library's exception: a runtime error with an int code (almost always -1). It never
// leaves an interface operation; the Python module throws and catches the same type, so its
// type identity lives in the library (out-of-line destructor).
class VELORIUM_API velorium_exception : public std::runtime_error {
 public:
  velorium_exception(int code, const char* text);
  velorium_exception(const velorium_exception&) = default;
  velorium_exception& operator=(const velorium_exception&) = default;
  ~velorium_exception() override;

  int code() const noexcept { return code_; }

 private:
  int code_;
};

// Bases of every library object. Each has an out-of-line destructor in the library, its key
// function, so that its typeinfo and vtable exist once and run-time casts between interfaces
// work across modules.

// Release destroys the whole object, whichever base it is called through.
class VELORIUM_API IReleasable {
 public:
  virtual ~IReleasable();
  virtual void Release() = 0;
};

// Error information of the last operation on an object: code 0 and "" when it succeeded.
// Operations never throw; they store their failure here. The text stays valid until the next
// operation on the same object or its release.
class VELORIUM_API IErrorInfo {
 public:
  virtual ~IErrorInfo();
  virtual int GetErrorCode() const = 0;
  virtual const char* GetErrorText() const = 0;
};

class VELORIUM_API INamedObject {
 public:
  virtual ~INamedObject();
  virtual const char* GetName() = 0;
  virtual void SetName(const char* name) = 0;
};

// The process-wide pool of interned names (internal type; reached through get_names_holder).
class VeloriumNamesHolder;

// The pool of names of this process; the same pointer for the whole process, built while the
// library loads. Null only once the library has been torn down (a call from a host's exit
// handler that runs after the library's).
VELORIUM_API VeloriumNamesHolder* get_names_holder();

// ---------------------------------------------------------------------------------------------
// Interfaces of the model and its members. The order of the virtual operations in every
// interface below is part of the calling interface between the library and separately built
// modules: never reorder, insert or remove an operation. Each operation clears the object's
// error information first and stores its failure there (see IErrorInfo); objects returned are
// new heap objects owned by the caller and destroyed by their Release.
// ---------------------------------------------------------------------------------------------

class IConstraint;
class IGeneralConstraint;
class IGeneralExpression;
class ILinearExpression;
class IQuadExpression;
class ISolveResult;
class IComputeIisResult;

// A variable: a column of its model. The handle refers to the column by its store index, which
// never changes; releasing the handle leaves the variable in the model.
class VELORIUM_API IVariable : public INamedObject, public IErrorInfo, public IReleasable {
 public:
  ~IVariable() override;
  virtual void SetUpperBound(double value) = 0;
  virtual double GetUpperBound() = 0;
  virtual void SetLowerBound(double value) = 0;
  virtual double GetLowerBound() = 0;
  // Removes the variable from its model; terms that refer to it stay in expressions.
  virtual void Remove() = 0;
  virtual variable_type GetType() = 0;
  // Binary sets the bounds to 0 and 1; integer types round both bounds down.
  virtual void SetType(variable_type type) = 0;
};

// Receives every finished log text of a model (without its level), on the thread that logs.
class VELORIUM_API ILogCallback {
 public:
  virtual ~ILogCallback();
  virtual void LogMessage(const char* text) = 0;
};

// Receives the progress of preparing (compressing) and of uploading a file. Its destructor
// comes last in its table. The caller keeps ownership of a reporter it passes.
class VELORIUM_API IProgressReporter {
 public:
  virtual void Start() = 0;  // report position 0
  virtual void SetProgress(std::uint64_t current) = 0;
  virtual bool IsFinished() = 0;
  virtual void SetTotal(std::uint64_t total) = 0;
  virtual ~IProgressReporter();
};

// A linear expression: linear terms (variable, coefficient) and a constant. A linear and a
// quadratic expression object may be two views of one store of terms (GetQuadPart).
class VELORIUM_API ILinearExpression : public IReleasable, public IErrorInfo, public INamedObject {
 public:
  ~ILinearExpression() override;
  virtual int GetTermsCount() = 0;
  virtual IVariable* GetTermVariable(int i) = 0;
  // Store index of the term's variable, also when that variable was removed.
  virtual int GetTermVariableIndex(int i) = 0;
  virtual double GetTermCoeff(int i) = 0;
  virtual void SetTermCoeff(int i, double coeff) = 0;
  virtual double GetConstant() = 0;
  virtual void SetConstant(double value) = 0;
  virtual void AddConstant(double value) = 0;
  virtual void AddTerm(const IVariable* var, double coeff) = 0;
  // Adds factor times the whole store of `expr`: linear terms, constant and quadratic terms.
  virtual void AddExpression(const ILinearExpression* expr, double factor) = 0;
  virtual void RemoveTerm(int i) = 0;
  // Removes the first linear term of `var`.
  virtual void RemoveVariable(const IVariable* var) = 0;
  // A quadratic view of the same store.
  virtual IQuadExpression* GetQuadPart() = 0;
  // An independent copy of the whole store.
  virtual ILinearExpression* CreateFreeCopy() = 0;
};

// The quadratic face of an expression store: quadratic terms (first variable, second
// variable, coefficient). The constant and linear terms are reached through GetLinearPart.
class VELORIUM_API IQuadExpression : public IReleasable, public IErrorInfo, public INamedObject {
 public:
  ~IQuadExpression() override;
  virtual int GetTermsCount() = 0;
  virtual IVariable* GetTermVariable1(int i) = 0;
  virtual int GetTermVariable1Index(int i) = 0;
  virtual IVariable* GetTermVariable2(int i) = 0;
  virtual int GetTermVariable2Index(int i) = 0;
  virtual double GetTermCoeff(int i) = 0;
  virtual void SetTermCoeff(int i, double coeff) = 0;
  virtual void AddTerm(const IVariable* var1, const IVariable* var2, double coeff) = 0;
  // Adds factor times the whole store of `expr`: quadratic terms, linear terms and constant.
  virtual void AddExpression(const IQuadExpression* expr, double factor) = 0;
  virtual void RemoveTerm(int i) = 0;
  // A linear view of the same store.
  virtual ILinearExpression* GetLinearPart() = 0;
  // An independent copy of the whole store.
  virtual IQuadExpression* CreateFreeCopy() = 0;
};

// A constraint lower <= expression <= upper: a row of a model, or a free constraint that
// belongs to no model (made by CreateConstraint, or left by removing a row through it).
class VELORIUM_API IConstraint : public IErrorInfo, public IReleasable, public INamedObject {
 public:
  ~IConstraint() override;
  // Removes the row from its model; the object then holds a copy of the row.
  virtual void Remove() = 0;
  // Linear and quadratic views of the constraint's expression.
  virtual ILinearExpression* GetLinearExpression() = 0;
  virtual IQuadExpression* GetQuadExpression() = 0;
  virtual void SetUpperBound(double value) = 0;
  virtual double GetUpperBound() = 0;
  virtual void SetLowerBound(double value) = 0;
  virtual double GetLowerBound() = 0;
  // Upper bound minus lower bound.
  virtual double GetRange() = 0;
  // Sets one bound from the other: a finite lower bound is the anchor when there is one.
  virtual void SetRange(double range) = 0;
};

// A node of a nonlinear expression tree, typed by gen_expr_type.
class VELORIUM_API IGeneralExpression : public IReleasable, public IErrorInfo {
 public:
  ~IGeneralExpression() override;
  virtual gen_expr_type GetType() = 0;
  // The value of a constant node.
  virtual double GetConstant() = 0;
  // The variable of a variable node.
  virtual IVariable* GetVariable() = 0;
  // The number of children present.
  virtual int GetExprCount() = 0;
  // 0, 1, 2, or -1 for plus and multiply (any number of children).
  virtual int GetArity() = 0;
  // A view of child `index`: changes made through it change this tree.
  virtual IGeneralExpression* GetExpr(int index) = 0;
  // Replaces child `index` by a copy of `expr`.
  virtual void SetExpr(int index, const IGeneralExpression* expr) = 0;
  // Appends a copy of `expr` (plus and multiply nodes).
  virtual void AddExpr(const IGeneralExpression* expr) = 0;
  virtual void RemoveExpr(int index) = 0;
  // A deep copy of the node and its subtree (a view gives another view of its node).
  virtual IGeneralExpression* CreateFreeCopy() = 0;
};

// A general constraint: a variable equals a nonlinear expression tree.
class VELORIUM_API IGeneralConstraint : public IErrorInfo, public IReleasable, public INamedObject {
 public:
  ~IGeneralConstraint() override;
  virtual void Remove() = 0;
  // A view of the stored tree: changes made through it change the general constraint.
  virtual IGeneralExpression* GetExpression() = 0;
  // The variable that the tree defines.
  virtual IVariable* GetVariable() = 0;
};

// The result of a solve: status figures and per-variable and per-constraint values.
class VELORIUM_API ISolveResult : public IReleasable, public IErrorInfo {
 public:
  ~ISolveResult() override;
  // The outcome. A remote result's `fail` comes with a text of why in GetErrorText: with code 0
  // for a calculation cancelled at the caller's request or ended without a solution, with
  // code -1 when the calculation gave no outcome at all (the reason the client logged).
  virtual solve_result GetSolveResult() = 0;
  virtual solution_status GetSolutionStatus() = 0;
  virtual double GetRelativeGap() = 0;
  virtual std::int32_t GetIterationsCount() = 0;
  virtual std::int64_t GetProcessedNodesCount() = 0;
  virtual double GetObjectiveFunctionValue() = 0;
  virtual double GetBestBoundValue() = 0;
  // Seconds.
  virtual double GetSolveTime() = 0;
  // Values of the solution. A remote result without a solution, and a name it does not hold,
  // fail (code -1 and a text) rather than give 0.
  virtual double GetVariableValueByName(const char* var_name) = 0;
  virtual double GetVariableValue(IVariable* var) = 0;
  virtual double GetDualValueByName(const char* constraint_name) = 0;
  virtual double GetDualValue(IConstraint* constraint) = 0;
  virtual double GetReducedCostByName(const char* var_name) = 0;
  virtual double GetReducedCost(IVariable* var) = 0;
  // The value of an expression at the solution.
  virtual double GetExpressionValueQuad(IQuadExpression* expr) = 0;
  virtual double GetExpressionValueLinear(ILinearExpression* expr) = 0;
  // Writes the solution file.
  virtual void WriteSolution(const char* file_name) = 0;
};

// The array face of a result, reached by a run-time cast from ISolveResult. Each array has one
// entry per live variable (values, reduced costs) or live constraint (dual values); `count`
// (may be null) receives its length; the array belongs to the result.
class VELORIUM_API ISolveResultEx : public ISolveResult {
 public:
  ~ISolveResultEx() override;
  virtual const double* GetValuesArray(std::uint64_t* count) = 0;
  virtual const double* GetDualValuesArray(std::uint64_t* count) = 0;
  virtual const double* GetReducedCostsArray(std::uint64_t* count) = 0;
};

// The result of an irreducible-infeasible-set computation.
class VELORIUM_API IComputeIisResult : public IReleasable, public IErrorInfo {
 public:
  ~IComputeIisResult() override;
  virtual solve_result GetComputeIisResult() = 0;
  // 2 infeasible, 1 for the engine's status 18, 0 otherwise.
  virtual int GetModelStatus() = 0;
  // Whether the set is minimal.
  virtual bool GetMinimal() = 0;
  virtual std::int32_t GetNumConstraints() = 0;
  virtual std::int32_t GetNumBounds() = 0;
  // Seconds.
  virtual double GetComputeIisTime() = 0;
  // Writes the set as an LP file.
  virtual void WriteIis(const char* file_name) = 0;
};

// The model. Variables, constraints, general constraints and expressions that it returns are
// views on its data: changing them changes the model, and they keep the data alive after the
// model is released.
class VELORIUM_API IModel : public INamedObject, public IErrorInfo, public IReleasable {
 public:
  ~IModel() override;
  // Text for the local calculation engine; null is ignored.
  virtual void SetEngineString(const char* text) = 0;
  // Reading replaces the model's members and objective; the format comes from the extension
  // (Read) or is given.
  virtual void Read(const char* file_name) = 0;
  virtual void ReadMps(const char* file_name) = 0;
  virtual void ReadLp(const char* file_name) = 0;
  // A non-empty name-mapping file makes the written file carry generated names, and records
  // them in that file; an empty or null one writes the model's own names.
  virtual void Write(const char* file_name, const char* name_mapping_file) = 0;
  virtual void WriteMps(const char* file_name, const char* name_mapping_file) = 0;
  virtual void WriteLp(const char* file_name, const char* name_mapping_file) = 0;
  // Options by name and type.
  virtual int GetIntParam(const char* param_name) = 0;
  virtual double GetDblParam(const char* param_name) = 0;
  virtual const char* GetStringParam(const char* param_name) = 0;
  virtual bool GetBoolParam(const char* param_name) = 0;
  virtual void SetIntParam(const char* param_name, int param_value) = 0;
  virtual void SetDblParam(const char* param_name, double param_value) = 0;
  // Sets an option of any type from its text; "log_file" opens that log file.
  virtual void SetStringParam(const char* param_name, const char* param_value) = 0;
  virtual void SetBoolParam(const char* param_name, bool param_value) = 0;
  // On failure still returns a variable object, one that refers to no column.
  virtual IVariable* AddVariable(double lower_bound, double upper_bound, double obj_value,
                                 variable_type type, const char* name) = 0;
  // Adds a copy of a constraint object as a new row.
  virtual IConstraint* AddConstraint(IConstraint* constr, const char* constr_name) = 0;
  virtual IConstraint* AddConstraintLinear2(ILinearExpression* expr, double lower_bound,
                                            double upper_bound, const char* name) = 0;
  virtual IConstraint* AddConstraintQuad1(IQuadExpression* expr, constraint_sense sense,
                                          double rhs, const char* name) = 0;
  virtual IConstraint* AddConstraintQuad2(IQuadExpression* expr, double lower_bound,
                                          double upper_bound, const char* name) = 0;
  virtual IConstraint* AddConstraintLinear1(ILinearExpression* expr, constraint_sense sense,
                                            double rhs, const char* name) = 0;
  // Counts and positions skip removed members.
  virtual int GetVariablesCount() = 0;
  virtual IVariable* GetVariable(int idx) = 0;
  virtual IVariable* GetVariableByName(const char* var_name) = 0;
  virtual int GetConstraintsCount() = 0;
  virtual IConstraint* GetConstraint(int idx) = 0;
  virtual IConstraint* GetConstraintByName(const char* constr_name) = 0;
  // Any value other than minimize counts as maximize.
  virtual void SetObjectiveSense(objective_sense sense) = 0;
  virtual objective_sense GetObjectiveSense() = 0;
  // The objective's constant.
  virtual void SetObjectiveOffset(double offset) = 0;
  // The objective becomes a copy of the expression's terms, constant and name.
  virtual void SetObjectiveQuad(IQuadExpression* expr, objective_sense sense) = 0;
  virtual void SetObjectiveLinear(ILinearExpression* expr, objective_sense sense) = 0;
  // Removes the objective's terms and constant; the sense and name stay.
  virtual void ClearObjective() = 0;
  // Views of the objective.
  virtual ILinearExpression* GetObjective() = 0;
  virtual IQuadExpression* GetQuadObjective() = 0;
  // Local solve and IIS computation; in this system they always fail (catalogue message 367).
  virtual ISolveResult* Solve() = 0;
  // Runs a calculation at the calculation service on the calling thread.
  virtual ISolveResult* SolveRemote(const char* name_mapping_file) = 0;
  // Creates and uploads a calculation without waiting for it. A non-empty name-mapping file
  // makes the uploaded file carry generated names and records them in that file, as for
  // SolveRemote, so that CreateSolveResult(uid, the same file) names the result back.
  virtual void SolveRemoteAsync(const char* name_mapping_file) = 0;
  // The log of a remote calculation; the text belongs to the model.
  virtual const char* GetRemoteSolveLog(const char* calc_uid) = 0;
  virtual IComputeIisResult* ComputeIis() = 0;
  virtual void RemoveGeneralConstraint(IGeneralConstraint* gc) = 0;
  virtual void RemoveConstr(IConstraint* constr) = 0;
  virtual void RemoveVar(IVariable* var) = 0;
  // Empties the model; options, start values and log settings stay.
  virtual void Clear() = 0;
  // Closes the current log file and opens this one for appending ("" for none).
  virtual void SetLogFile(const char* log_file) = 0;
  // Not owned; null removes the receiver.
  virtual void SetLogCallback(ILogCallback* callback) = 0;
  // Start values for integer solving, by variable name.
  virtual void AddMipStartValue(IVariable* var, double value) = 0;
  virtual void AddMipStartValueByName(const char* name, double value) = 0;
  // Reads the start values from a solution file.
  virtual void AddMipStartValues(const char* sol_file) = 0;
  virtual void ClearMipStartValues() = 0;
  // Identifier of the last remote calculation; "" before the first one.
  virtual const char* GetCalcUID() = 0;
  // Any variable, removed ones included, of a type other than continuous.
  virtual bool IsMip() = 0;
  // General constraints or quadratic terms anywhere.
  virtual bool IsNonlinear() = 0;
  virtual int GetGeneralConstraintsCount() = 0;
  virtual IGeneralConstraint* GetGeneralConstraint(int idx) = 0;
  virtual IGeneralConstraint* GetGeneralConstraintByName(const char* name) = 0;
  // Adds a copy of a general constraint whose variables belong to this model.
  virtual void AddGeneralConstraintObject(IGeneralConstraint* gc) = 0;
  // Adds the general constraint var = expr.
  virtual IGeneralConstraint* AddGeneralConstraint(IGeneralExpression* expr, IVariable* var,
                                                   const char* name) = 0;
};

// The matrix-form face of a model, reached by a run-time cast from IModel; every model of the
// library has it. Indexes in the arrays are variable positions; array lengths are given after
// each array (a bound or type array of length 1 applies to every new variable). Q matrices are
// dense row-major or compressed sparse rows (values, column indices, row starts).
class VELORIUM_API IMatrixModel : public IModel {
 public:
  ~IMatrixModel() override;
  using IModel::AddConstraint;
  // Adds `count` variables, all or none.
  virtual void AddVariables(std::uint64_t count, const double* lower_bounds,
                            std::uint64_t lower_bounds_count, const double* upper_bounds,
                            std::uint64_t upper_bounds_count, const double* obj_coeffs,
                            std::uint64_t obj_coeffs_count, const std::int32_t* types,
                            std::uint64_t types_count) = 0;
  // Replaces the objective's terms by 1/2 x'Qx + c'x.
  virtual void SetObjective(const double* q, std::uint64_t q_rows, std::uint64_t q_cols,
                            const double* c, std::uint64_t c_count, objective_sense sense) = 0;
  virtual void SetObjectiveSparse(const double* q_values, const std::int32_t* q_col_indices,
                                  const std::int32_t* q_row_starts, std::uint64_t q_rows,
                                  std::uint64_t q_cols, const double* c, std::uint64_t c_count,
                                  objective_sense sense) = 0;
  // Adds the row 1/2 x'Qx + c'x (sense) rhs; returns its store index, -1 after a failure.
  virtual int AddConstraint(const double* q, std::uint64_t q_rows, std::uint64_t q_cols,
                            const double* c, std::uint64_t c_count, constraint_sense sense,
                            double rhs) = 0;
  virtual int AddConstraintSparse(const double* q_values, const std::int32_t* q_col_indices,
                                  const std::int32_t* q_row_starts, std::uint64_t q_rows,
                                  std::uint64_t q_cols, const double* c, std::uint64_t c_count,
                                  constraint_sense sense, double rhs) = 0;
  // Adds the linear row sum values[k] * x[positions[k]] (sense) rhs; store index or -1.
  virtual int AddConstraintLinearSparse(const double* values, const std::int32_t* positions,
                                        std::uint64_t count, constraint_sense sense,
                                        double rhs) = 0;
};

// ---------------------------------------------------------------------------------------------
// Model files.
// ---------------------------------------------------------------------------------------------

struct Model;
struct VeloriumLogOptions;

// Reads and writes model files. It has no error information: each operation reports success
// as its result and logs its failures. Mode: 0 by the file's extension, 1 MPS, 2 LP.
class VELORIUM_API IModelImportExport {
 public:
  virtual ~IModelImportExport();
  // Null log options: the readers log to the console with default options.
  virtual bool Import(const char* path, std::uint8_t mode, VeloriumLogOptions* log_options) = 0;
  // The model of the last successful Import, owned by this object; null before the first.
  virtual Model* GetModel() = 0;
  virtual bool Export(const Model* model, const char* path, std::uint8_t mode,
                      VeloriumLogOptions* log_options) = 0;
  virtual void Release() = 0;
};

// A new import/export object, released with its Release.
VELORIUM_API IModelImportExport* create_model_import_export();

}  // namespace velorium

// ---------------------------------------------------------------------------------------------
// Factories of the object interface (global namespace; the Python module imports them by
// their decorated names). Each returns a new object owned by the caller, released with its
// Release.
// ---------------------------------------------------------------------------------------------

VELORIUM_API velorium::IModel* CreateModel();
// A free expression: no terms, constant 0, bound to no model.
VELORIUM_API velorium::ILinearExpression* CreateLinearExpression();
VELORIUM_API velorium::IQuadExpression* CreateQuadExpression();
// A free constraint holding a copy of the expression's store; null for an expression that is
// not the library's own.
VELORIUM_API velorium::IConstraint* CreateConstraint(velorium::ILinearExpression* expr,
                                                     velorium::constraint_sense sense, double rhs);
VELORIUM_API velorium::IConstraint* CreateConstraint(velorium::IQuadExpression* expr,
                                                     velorium::constraint_sense sense, double rhs);
// General expression nodes: a constant; the tree of a whole linear or quadratic store; a
// variable leaf; an empty node (constant, plus, multiply; else null); a node of arity 1 or 2
// over copies of its operands (null when the type has another arity).
VELORIUM_API velorium::IGeneralExpression* CreateGeneralExpression(double value);
VELORIUM_API velorium::IGeneralExpression* CreateGeneralExpression(
    const velorium::ILinearExpression* expr);
VELORIUM_API velorium::IGeneralExpression* CreateGeneralExpression(
    const velorium::IQuadExpression* expr);
VELORIUM_API velorium::IGeneralExpression* CreateGeneralExpression(const velorium::IVariable* var);
VELORIUM_API velorium::IGeneralExpression* CreateGeneralExpression(velorium::gen_expr_type type);
VELORIUM_API velorium::IGeneralExpression* CreateGeneralExpression(
    velorium::gen_expr_type type, const velorium::IGeneralExpression* a);
VELORIUM_API velorium::IGeneralExpression* CreateGeneralExpression(
    velorium::gen_expr_type type, const velorium::IGeneralExpression* a,
    const velorium::IGeneralExpression* b);
// A free general constraint var = copy of expr; a null name is the empty name.
VELORIUM_API velorium::IGeneralConstraint* CreateGeneralConstraint(
    const velorium::IGeneralExpression* expr, const velorium::IVariable* var, const char* name);
// The result of an earlier remote calculation, named through a name-map file.
VELORIUM_API velorium::ISolveResult* CreateSolveResult(const char* calc_uid,
                                                       const char* name_map_file);
