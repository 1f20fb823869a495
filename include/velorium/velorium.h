/* Velorium function interface: flat functions with C linkage, one per operation of the object
 * interface (velorium.hpp), named after the kind of object and the operation.
 *
 * A handle is the object pointer itself: a model made by Model_Create can be used through
 * velorium::IModel, and an IModel pointer from CreateModel can be passed to every Model_
 * function. In C the handles are opaque; in C++ they are the interface types.
 *
 * Failures never leave as exceptions: an operation stores its error code (0 none, otherwise
 * -1 or the failure's code) and text in the object it was called on and returns a neutral
 * value (null, 0, 0.0); ask the same object with its _GetErrorCode and _GetErrorText.
 * Objects returned are new objects owned by the caller, released with their _Release. Texts
 * and arrays returned belong to the object that returned them and stay valid until that object
 * changes or is released. Handles are not checked: passing null or an object of another kind
 * is not allowed.
 *
 * Enumerations travel as int; the values are listed below. Index arrays hold int, array
 * lengths are unsigned 64-bit. Bool results are 1 or 0.
 */
#ifndef VELORIUM_VELORIUM_H
#define VELORIUM_VELORIUM_H

#include <stdint.h>

#if defined(VELORIUM_BUILDING_LIBRARY)
#define VELORIUM_C_API __attribute__((visibility("default")))
#else
#define VELORIUM_C_API
#endif

#ifdef __cplusplus
namespace velorium {
class IModel;
class IVariable;
class IConstraint;
class IGeneralConstraint;
class ILinearExpression;
class IQuadExpression;
class IGeneralExpression;
class ISolveResult;
class IComputeIisResult;
class ILogCallback;
}  // namespace velorium
typedef velorium::IModel VeloriumModel;
typedef velorium::IVariable VeloriumVariable;
typedef velorium::IConstraint VeloriumConstraint;
typedef velorium::IGeneralConstraint VeloriumGeneralConstraint;
typedef velorium::ILinearExpression VeloriumLinearExpression;
typedef velorium::IQuadExpression VeloriumQuadExpression;
typedef velorium::IGeneralExpression VeloriumGeneralExpression;
typedef velorium::ISolveResult VeloriumSolveResult;
typedef velorium::IComputeIisResult VeloriumComputeIisResult;
typedef velorium::ILogCallback VeloriumLogCallback;
extern "C" {
#else
/* A model handle also serves the MatrixModel_ functions (its matrix-form face). */
typedef struct VeloriumModel VeloriumModel;
typedef struct VeloriumVariable VeloriumVariable;
typedef struct VeloriumConstraint VeloriumConstraint;
typedef struct VeloriumGeneralConstraint VeloriumGeneralConstraint;
typedef struct VeloriumLinearExpression VeloriumLinearExpression;
typedef struct VeloriumQuadExpression VeloriumQuadExpression;
typedef struct VeloriumGeneralExpression VeloriumGeneralExpression;
typedef struct VeloriumSolveResult VeloriumSolveResult;
typedef struct VeloriumComputeIisResult VeloriumComputeIisResult;
/* A velorium::ILogCallback object of a C++ caller. */
typedef struct VeloriumLogCallback VeloriumLogCallback;
#endif

/* Receives each log line of a model (Model_SetLogCallbackFn), on the thread that logs. */
typedef void (*VeloriumLogFunction)(const char* text, void* user);

/* variable_type */
enum {
  VELORIUM_CONTINUOUS = 0,
  VELORIUM_BINARY = 1,
  VELORIUM_INTEGER = 2,
  VELORIUM_SEMICONTINUOUS = 3,
  VELORIUM_SEMIINTEGER = 4
};
/* constraint_sense */
enum { VELORIUM_EQUAL = 0, VELORIUM_LESS_EQUAL = 1, VELORIUM_GREATER_EQUAL = 2 };
/* objective_sense */
enum { VELORIUM_MINIMIZE = 0, VELORIUM_MAXIMIZE = 1 };
/* solution_status */
enum {
  VELORIUM_INVALID_SOLUTION = 0,
  VELORIUM_OPTIMAL = 1,
  VELORIUM_FEASIBLE = 2,
  VELORIUM_INFEASIBLE = 3,
  VELORIUM_UNBOUNDED = 4,
  VELORIUM_INFEASIBLE_OR_UNBOUNDED = 5,
  VELORIUM_IMPRECISE = 6
};
/* solve_result */
enum {
  VELORIUM_SUCCESS = 0,
  VELORIUM_FAIL = 1,
  VELORIUM_REMOTE_INVALID_API_KEY = 2,
  VELORIUM_REMOTE_API_KEY_NOT_SET = 3,
  VELORIUM_REMOTE_TIME_AMOUNT_IS_OVER = 4,
  VELORIUM_REMOTE_TIME_PER_CALC_VIOLATED = 5,
  VELORIUM_REMOTE_FAIL = 6
};
/* gen_expr_type */
enum {
  VELORIUM_EXPR_CONSTANT = 0,
  VELORIUM_EXPR_VARIABLE = 1,
  VELORIUM_EXPR_MINUS = 2,
  VELORIUM_EXPR_PLUS = 3,
  VELORIUM_EXPR_DIVIDE = 4,
  VELORIUM_EXPR_MULTIPLY = 5,
  VELORIUM_EXPR_SQUARE_ROOT = 6,
  VELORIUM_EXPR_SQR = 7,
  VELORIUM_EXPR_POW = 8,
  VELORIUM_EXPR_EXP = 9,
  VELORIUM_EXPR_LOG = 10,
  VELORIUM_EXPR_LOG2 = 11,
  VELORIUM_EXPR_LOG10 = 12,
  VELORIUM_EXPR_SIN = 13,
  VELORIUM_EXPR_COS = 14,
  VELORIUM_EXPR_TAN = 15,
  VELORIUM_EXPR_LOGISTIC = 16,
  VELORIUM_EXPR_TANH = 17,
  VELORIUM_EXPR_SIGNPOW = 18
};

/* ---- Model ---------------------------------------------------------------------------- */

VELORIUM_C_API const char* Model_GetName(VeloriumModel* model);
VELORIUM_C_API void Model_SetName(VeloriumModel* model, const char* name);
/* Read by the file's extension (.mps, .lp), as MPS, or as LP. */
VELORIUM_C_API void Model_Read(VeloriumModel* model, const char* file_name);
VELORIUM_C_API void Model_ReadMps(VeloriumModel* model, const char* file_name);
VELORIUM_C_API void Model_ReadLp(VeloriumModel* model, const char* file_name);
/* A non-empty name-mapping file makes the file carry generated names, recorded in that file. */
VELORIUM_C_API void Model_Write(VeloriumModel* model, const char* file_name,
                                const char* name_mapping_file);
VELORIUM_C_API void Model_WriteMps(VeloriumModel* model, const char* file_name);
VELORIUM_C_API void Model_WriteLp(VeloriumModel* model, const char* file_name);
/* Options by name and type. */
VELORIUM_C_API int Model_GetIntParam(VeloriumModel* model, const char* param_name);
VELORIUM_C_API double Model_GetDblParam(VeloriumModel* model, const char* param_name);
VELORIUM_C_API const char* Model_GetStringParam(VeloriumModel* model, const char* param_name);
VELORIUM_C_API int Model_GetBoolParam(VeloriumModel* model, const char* param_name);
VELORIUM_C_API void Model_SetIntParam(VeloriumModel* model, const char* param_name,
                                      int param_value);
VELORIUM_C_API void Model_SetDblParam(VeloriumModel* model, const char* param_name,
                                      double param_value);
VELORIUM_C_API void Model_SetStringParam(VeloriumModel* model, const char* param_name,
                                         const char* param_value);
/* Any value other than 0 sets true. */
VELORIUM_C_API void Model_SetBoolParam(VeloriumModel* model, const char* param_name,
                                       int param_value);
/* On failure still returns a variable object, one that refers to no column. */
VELORIUM_C_API VeloriumVariable* Model_AddVariable(VeloriumModel* model, double lower_bound,
                                                   double upper_bound, double obj_value,
                                                   int type, const char* name);
/* Adds a copy of a constraint object as a new row. */
VELORIUM_C_API VeloriumConstraint* Model_AddConstraint(VeloriumModel* model,
                                                       VeloriumConstraint* constr,
                                                       const char* constr_name);
VELORIUM_C_API VeloriumConstraint* Model_AddConstraintLinear2(VeloriumModel* model,
                                                              VeloriumLinearExpression* expr,
                                                              double lower_bound,
                                                              double upper_bound,
                                                              const char* name);
VELORIUM_C_API VeloriumConstraint* Model_AddConstraintQuad1(VeloriumModel* model,
                                                            VeloriumQuadExpression* expr,
                                                            int sense, double rhs,
                                                            const char* name);
VELORIUM_C_API VeloriumConstraint* Model_AddConstraintQuad2(VeloriumModel* model,
                                                            VeloriumQuadExpression* expr,
                                                            double lower_bound,
                                                            double upper_bound, const char* name);
VELORIUM_C_API VeloriumConstraint* Model_AddConstraintLinear1(VeloriumModel* model,
                                                              VeloriumLinearExpression* expr,
                                                              int sense, double rhs,
                                                              const char* name);
/* Counts and positions skip removed members. */
VELORIUM_C_API int Model_GetVariablesCount(VeloriumModel* model);
VELORIUM_C_API VeloriumVariable* Model_GetVariable(VeloriumModel* model, int idx);
VELORIUM_C_API VeloriumVariable* Model_GetVariableByName(VeloriumModel* model,
                                                         const char* var_name);
VELORIUM_C_API int Model_GetConstraintsCount(VeloriumModel* model);
VELORIUM_C_API VeloriumConstraint* Model_GetConstraint(VeloriumModel* model, int idx);
VELORIUM_C_API VeloriumConstraint* Model_GetConstraintByName(VeloriumModel* model,
                                                             const char* constr_name);
VELORIUM_C_API void Model_SetObjectiveSense(VeloriumModel* model, int sense);
VELORIUM_C_API int Model_GetObjectiveSense(VeloriumModel* model);
/* The objective's constant. */
VELORIUM_C_API void Model_SetObjectiveOffset(VeloriumModel* model, double offset);
VELORIUM_C_API void Model_SetObjectiveQuad(VeloriumModel* model, VeloriumQuadExpression* expr,
                                           int sense);
VELORIUM_C_API void Model_SetObjectiveLinear(VeloriumModel* model,
                                             VeloriumLinearExpression* expr, int sense);
/* Removes the objective's terms and constant; the sense stays. */
VELORIUM_C_API void Model_ClearObjective(VeloriumModel* model);
/* Views of the objective: changing them changes the model. */
VELORIUM_C_API VeloriumLinearExpression* Model_GetObjective(VeloriumModel* model);
VELORIUM_C_API VeloriumQuadExpression* Model_GetQuadObjective(VeloriumModel* model);
/* Local solve; not provided in this version (always null with the model's error set). */
VELORIUM_C_API VeloriumSolveResult* Model_Solve(VeloriumModel* model);
/* Solves at the calculation service on the calling thread. */
VELORIUM_C_API VeloriumSolveResult* Model_SolveRemote(VeloriumModel* model,
                                                      const char* name_mapping_file);
/* Creates and uploads a remote calculation without waiting for it, under the model's own
 * names (no name map). */
VELORIUM_C_API void Model_SolveRemoteAsync(VeloriumModel* model);
VELORIUM_C_API const char* Model_GetRemoteSolveLog(VeloriumModel* model, const char* calc_uid);
/* Local IIS computation; not provided in this version. */
VELORIUM_C_API VeloriumComputeIisResult* Model_ComputeIis(VeloriumModel* model);
VELORIUM_C_API void Model_RemoveGeneralConstraint(VeloriumModel* model,
                                                  VeloriumGeneralConstraint* gc);
VELORIUM_C_API void Model_RemoveConstr(VeloriumModel* model, VeloriumConstraint* constr);
VELORIUM_C_API void Model_RemoveVar(VeloriumModel* model, VeloriumVariable* var);
/* Empties the model; options, start values and log settings stay. */
VELORIUM_C_API void Model_Clear(VeloriumModel* model);
/* Closes the current log file and opens this one for appending ("" for none). */
VELORIUM_C_API void Model_SetLogFile(VeloriumModel* model, const char* log_file);
/* A C++ receiver, not owned; null removes it. */
VELORIUM_C_API void Model_SetLogCallback(VeloriumModel* model, VeloriumLogCallback* callback);
/* Start values for integer solving, by variable name. */
VELORIUM_C_API void Model_AddMipStartValue(VeloriumModel* model, VeloriumVariable* var,
                                           double value);
VELORIUM_C_API void Model_AddMipStartValueByName(VeloriumModel* model, const char* name,
                                                 double value);
/* Reads start values from a solution file. */
VELORIUM_C_API void Model_AddMipStartValues(VeloriumModel* model, const char* sol_file);
VELORIUM_C_API void Model_ClearMipStartValues(VeloriumModel* model);
/* Identifier of the last remote calculation; "" before the first one. */
VELORIUM_C_API const char* Model_GetCalcUID(VeloriumModel* model);
VELORIUM_C_API int Model_IsMip(VeloriumModel* model);
VELORIUM_C_API int Model_IsNonlinear(VeloriumModel* model);
VELORIUM_C_API int Model_GetGeneralConstraintsCount(VeloriumModel* model);
VELORIUM_C_API VeloriumGeneralConstraint* Model_GetGeneralConstraint(VeloriumModel* model,
                                                                     int idx);
VELORIUM_C_API VeloriumGeneralConstraint* Model_GetGeneralConstraintByName(VeloriumModel* model,
                                                                           const char* name);
/* Adds a copy of a general constraint whose variables belong to this model. */
VELORIUM_C_API void Model_AddGeneralConstraintObject(VeloriumModel* model,
                                                     VeloriumGeneralConstraint* gc);
/* Adds the general constraint var = expr. */
VELORIUM_C_API VeloriumGeneralConstraint* Model_AddGeneralConstraint(
    VeloriumModel* model, VeloriumGeneralExpression* expr, VeloriumVariable* var,
    const char* name);
VELORIUM_C_API int Model_GetErrorCode(VeloriumModel* model);
VELORIUM_C_API const char* Model_GetErrorText(VeloriumModel* model);
VELORIUM_C_API VeloriumModel* Model_Create(void);
/* Removes the model's log function (Model_SetLogCallbackFn), then destroys the model. */
VELORIUM_C_API void Model_Release(VeloriumModel* model);
/* Installs fn (called with each log line and user) in place of the model's earlier receiver;
 * a null fn removes it. */
VELORIUM_C_API void Model_SetLogCallbackFn(VeloriumModel* model, VeloriumLogFunction fn,
                                           void* user);

/* ---- Matrix-form additions (a model handle) -------------------------------------------- *
 * Indexes are variable positions; Q matrices are dense row-major (q) or compressed sparse rows
 * (values, column indices, row starts of q_rows + 1 entries); each array's length follows it.
 */

/* Adds count variables, all or none; a bound or type array of length 1 applies to all. */
VELORIUM_C_API void MatrixModel_AddVariables(VeloriumModel* model, uint64_t count,
                                             const double* lower_bounds,
                                             uint64_t lower_bounds_count,
                                             const double* upper_bounds,
                                             uint64_t upper_bounds_count,
                                             const double* obj_coeffs, uint64_t obj_coeffs_count,
                                             const int* types, uint64_t types_count);
/* Replaces the objective's terms by 1/2 x'Qx + c'x. */
VELORIUM_C_API void MatrixModel_SetObjective(VeloriumModel* model, const double* q,
                                             uint64_t q_rows, uint64_t q_cols, const double* c,
                                             uint64_t c_count, int sense);
VELORIUM_C_API void MatrixModel_SetObjectiveSparse(VeloriumModel* model, const double* q_values,
                                                   const int* q_col_indices,
                                                   const int* q_row_starts, uint64_t q_rows,
                                                   uint64_t q_cols, const double* c,
                                                   uint64_t c_count, int sense);
/* Adds the row 1/2 x'Qx + c'x (sense) rhs; returns its index, -1 after a failure. */
VELORIUM_C_API int MatrixModel_AddConstraint(VeloriumModel* model, const double* q,
                                             uint64_t q_rows, uint64_t q_cols, const double* c,
                                             uint64_t c_count, int sense, double rhs);
VELORIUM_C_API int MatrixModel_AddConstraintSparse(VeloriumModel* model, const double* q_values,
                                                   const int* q_col_indices,
                                                   const int* q_row_starts, uint64_t q_rows,
                                                   uint64_t q_cols, const double* c,
                                                   uint64_t c_count, int sense, double rhs);
/* Adds the row sum values[k] * x[positions[k]] (sense) rhs; its index, or -1. */
VELORIUM_C_API int MatrixModel_AddConstraintLinearSparse(VeloriumModel* model,
                                                         const double* values,
                                                         const int* positions, uint64_t count,
                                                         int sense, double rhs);
/* Adds `rows` linear rows sharing one column pattern: row r has the coefficients
 * values[r * count .. r * count + count - 1] on the positions indices[0 .. count - 1], the
 * sense senses[r] and the right-hand side rhs[r]. All rows or none: when a row fails, the rows
 * added before it are removed again and the model reports that row's error. */
VELORIUM_C_API void MatrixModel_AddConstraintsLinearSparse(VeloriumModel* model,
                                                           const double* values,
                                                           const int* indices, uint64_t count,
                                                           const int* senses, const double* rhs,
                                                           uint64_t rows);

/* ---- Variable -------------------------------------------------------------------------- */

VELORIUM_C_API const char* Variable_GetName(VeloriumVariable* var);
VELORIUM_C_API void Variable_SetName(VeloriumVariable* var, const char* name);
VELORIUM_C_API void Variable_SetUpperBound(VeloriumVariable* var, double value);
VELORIUM_C_API double Variable_GetUpperBound(VeloriumVariable* var);
VELORIUM_C_API void Variable_SetLowerBound(VeloriumVariable* var, double value);
VELORIUM_C_API double Variable_GetLowerBound(VeloriumVariable* var);
/* Removes the variable from its model. */
VELORIUM_C_API void Variable_Remove(VeloriumVariable* var);
VELORIUM_C_API int Variable_GetType(VeloriumVariable* var);
VELORIUM_C_API void Variable_SetType(VeloriumVariable* var, int type);
VELORIUM_C_API int Variable_GetErrorCode(VeloriumVariable* var);
VELORIUM_C_API const char* Variable_GetErrorText(VeloriumVariable* var);
/* Destroys the handle; the variable stays in its model. */
VELORIUM_C_API void Variable_Release(VeloriumVariable* var);

/* ---- Constraint ------------------------------------------------------------------------ */

VELORIUM_C_API int Constraint_GetErrorCode(VeloriumConstraint* constr);
VELORIUM_C_API const char* Constraint_GetErrorText(VeloriumConstraint* constr);
/* Removes the row from its model; the handle then holds a copy of the row. */
VELORIUM_C_API void Constraint_Remove(VeloriumConstraint* constr);
/* Views of the constraint's expression. */
VELORIUM_C_API VeloriumLinearExpression* Constraint_GetLinearExpression(
    VeloriumConstraint* constr);
VELORIUM_C_API VeloriumQuadExpression* Constraint_GetQuadExpression(VeloriumConstraint* constr);
VELORIUM_C_API void Constraint_SetUpperBound(VeloriumConstraint* constr, double value);
VELORIUM_C_API double Constraint_GetUpperBound(VeloriumConstraint* constr);
VELORIUM_C_API void Constraint_SetLowerBound(VeloriumConstraint* constr, double value);
VELORIUM_C_API double Constraint_GetLowerBound(VeloriumConstraint* constr);
/* Upper bound minus lower bound. */
VELORIUM_C_API double Constraint_GetRange(VeloriumConstraint* constr);
/* Sets one bound from the other; a finite lower bound is the anchor when there is one. */
VELORIUM_C_API void Constraint_SetRange(VeloriumConstraint* constr, double range);
/* Destroys the handle; a model row stays in its model. */
VELORIUM_C_API void Constraint_Release(VeloriumConstraint* constr);
VELORIUM_C_API const char* Constraint_GetName(VeloriumConstraint* constr);
VELORIUM_C_API void Constraint_SetName(VeloriumConstraint* constr, const char* name);
/* A free constraint (in no model) holding a copy of the expression; null for an object that is
 * not the library's expression. */
VELORIUM_C_API VeloriumConstraint* Constraint_CreateFromLinear(VeloriumLinearExpression* expr,
                                                               int sense, double rhs);
VELORIUM_C_API VeloriumConstraint* Constraint_CreateFromQuad(VeloriumQuadExpression* expr,
                                                             int sense, double rhs);

/* ---- General constraint ---------------------------------------------------------------- */

VELORIUM_C_API int GeneralConstraint_GetErrorCode(VeloriumGeneralConstraint* gc);
VELORIUM_C_API const char* GeneralConstraint_GetErrorText(VeloriumGeneralConstraint* gc);
VELORIUM_C_API void GeneralConstraint_Remove(VeloriumGeneralConstraint* gc);
/* A view of the stored tree: changes made through it change the general constraint. */
VELORIUM_C_API VeloriumGeneralExpression* GeneralConstraint_GetExpression(
    VeloriumGeneralConstraint* gc);
/* The variable that the tree defines. */
VELORIUM_C_API VeloriumVariable* GeneralConstraint_GetVariable(VeloriumGeneralConstraint* gc);
VELORIUM_C_API void GeneralConstraint_Release(VeloriumGeneralConstraint* gc);
VELORIUM_C_API const char* GeneralConstraint_GetName(VeloriumGeneralConstraint* gc);
VELORIUM_C_API void GeneralConstraint_SetName(VeloriumGeneralConstraint* gc, const char* name);
/* A free general constraint var = copy of expr; a null name is the empty name. */
VELORIUM_C_API VeloriumGeneralConstraint* GeneralConstraint_Create(
    const VeloriumGeneralExpression* expr, const VeloriumVariable* var, const char* name);

/* ---- Linear expression ----------------------------------------------------------------- */

VELORIUM_C_API void LinearExpression_Release(VeloriumLinearExpression* expr);
VELORIUM_C_API int LinearExpression_GetTermsCount(VeloriumLinearExpression* expr);
VELORIUM_C_API VeloriumVariable* LinearExpression_GetTermVariable(VeloriumLinearExpression* expr,
                                                                  int i);
/* Store index of the term's variable, also when that variable was removed. */
VELORIUM_C_API int LinearExpression_GetTermVariableIndex(VeloriumLinearExpression* expr, int i);
VELORIUM_C_API double LinearExpression_GetTermCoeff(VeloriumLinearExpression* expr, int i);
VELORIUM_C_API void LinearExpression_SetTermCoeff(VeloriumLinearExpression* expr, int i,
                                                  double coeff);
VELORIUM_C_API double LinearExpression_GetConstant(VeloriumLinearExpression* expr);
VELORIUM_C_API void LinearExpression_SetConstant(VeloriumLinearExpression* expr, double value);
VELORIUM_C_API void LinearExpression_AddConstant(VeloriumLinearExpression* expr, double value);
VELORIUM_C_API void LinearExpression_AddTerm(VeloriumLinearExpression* expr,
                                             const VeloriumVariable* var, double coeff);
/* Adds factor times the whole store of other: linear terms, constant and quadratic terms. */
VELORIUM_C_API void LinearExpression_AddExpression(VeloriumLinearExpression* expr,
                                                   const VeloriumLinearExpression* other,
                                                   double factor);
VELORIUM_C_API void LinearExpression_RemoveTerm(VeloriumLinearExpression* expr, int i);
/* Removes the first term of var. */
VELORIUM_C_API void LinearExpression_RemoveVariable(VeloriumLinearExpression* expr,
                                                    const VeloriumVariable* var);
/* A quadratic view of the same store. */
VELORIUM_C_API VeloriumQuadExpression* LinearExpression_GetQuadPart(
    VeloriumLinearExpression* expr);
/* An independent copy of the whole store. */
VELORIUM_C_API VeloriumLinearExpression* LinearExpression_CreateFreeCopy(
    VeloriumLinearExpression* expr);
VELORIUM_C_API int LinearExpression_GetErrorCode(VeloriumLinearExpression* expr);
VELORIUM_C_API const char* LinearExpression_GetErrorText(VeloriumLinearExpression* expr);
VELORIUM_C_API const char* LinearExpression_GetName(VeloriumLinearExpression* expr);
VELORIUM_C_API void LinearExpression_SetName(VeloriumLinearExpression* expr, const char* name);
/* A free expression: no terms, constant 0, bound to no model. */
VELORIUM_C_API VeloriumLinearExpression* LinearExpression_Create(void);

/* ---- Quadratic expression -------------------------------------------------------------- */

VELORIUM_C_API void QuadExpression_Release(VeloriumQuadExpression* expr);
/* The number of quadratic terms (linear terms are reached through the linear part). */
VELORIUM_C_API int QuadExpression_GetTermsCount(VeloriumQuadExpression* expr);
VELORIUM_C_API VeloriumVariable* QuadExpression_GetTermVariable1(VeloriumQuadExpression* expr,
                                                                 int i);
VELORIUM_C_API int QuadExpression_GetTermVariable1Index(VeloriumQuadExpression* expr, int i);
VELORIUM_C_API VeloriumVariable* QuadExpression_GetTermVariable2(VeloriumQuadExpression* expr,
                                                                 int i);
VELORIUM_C_API int QuadExpression_GetTermVariable2Index(VeloriumQuadExpression* expr, int i);
VELORIUM_C_API double QuadExpression_GetTermCoeff(VeloriumQuadExpression* expr, int i);
VELORIUM_C_API void QuadExpression_SetTermCoeff(VeloriumQuadExpression* expr, int i,
                                                double coeff);
VELORIUM_C_API void QuadExpression_AddTerm(VeloriumQuadExpression* expr,
                                           const VeloriumVariable* var1,
                                           const VeloriumVariable* var2, double coeff);
/* Adds factor times the whole store of other: quadratic terms, linear terms and constant. */
VELORIUM_C_API void QuadExpression_AddExpression(VeloriumQuadExpression* expr,
                                                 const VeloriumQuadExpression* other,
                                                 double factor);
VELORIUM_C_API void QuadExpression_RemoveTerm(VeloriumQuadExpression* expr, int i);
/* A linear view (linear terms and constant) of the same store. */
VELORIUM_C_API VeloriumLinearExpression* QuadExpression_GetLinearPart(
    VeloriumQuadExpression* expr);
VELORIUM_C_API VeloriumQuadExpression* QuadExpression_CreateFreeCopy(
    VeloriumQuadExpression* expr);
VELORIUM_C_API int QuadExpression_GetErrorCode(VeloriumQuadExpression* expr);
VELORIUM_C_API const char* QuadExpression_GetErrorText(VeloriumQuadExpression* expr);
VELORIUM_C_API VeloriumQuadExpression* QuadExpression_Create(void);

/* ---- General expression ---------------------------------------------------------------- */

VELORIUM_C_API void GeneralExpression_Release(VeloriumGeneralExpression* expr);
VELORIUM_C_API int GeneralExpression_GetType(VeloriumGeneralExpression* expr);
/* The value of a constant node. */
VELORIUM_C_API double GeneralExpression_GetConstant(VeloriumGeneralExpression* expr);
/* The variable of a variable node. */
VELORIUM_C_API VeloriumVariable* GeneralExpression_GetVariable(VeloriumGeneralExpression* expr);
/* The number of children present. */
VELORIUM_C_API int GeneralExpression_GetExprCount(VeloriumGeneralExpression* expr);
/* 0, 1, 2, or -1 for plus and multiply (any number of children). */
VELORIUM_C_API int GeneralExpression_GetArity(VeloriumGeneralExpression* expr);
/* A view of child index: changes made through it change this tree. */
VELORIUM_C_API VeloriumGeneralExpression* GeneralExpression_GetExpr(
    VeloriumGeneralExpression* expr, int index);
/* Replaces child index by a copy of child. */
VELORIUM_C_API void GeneralExpression_SetExpr(VeloriumGeneralExpression* expr, int index,
                                              const VeloriumGeneralExpression* child);
/* Appends a copy of child (plus and multiply nodes). */
VELORIUM_C_API void GeneralExpression_AddExpr(VeloriumGeneralExpression* expr,
                                              const VeloriumGeneralExpression* child);
VELORIUM_C_API void GeneralExpression_RemoveExpr(VeloriumGeneralExpression* expr, int index);
/* A deep copy of the node and its subtree. */
VELORIUM_C_API VeloriumGeneralExpression* GeneralExpression_CreateFreeCopy(
    VeloriumGeneralExpression* expr);
VELORIUM_C_API int GeneralExpression_GetErrorCode(VeloriumGeneralExpression* expr);
VELORIUM_C_API const char* GeneralExpression_GetErrorText(VeloriumGeneralExpression* expr);
/* An empty node: constant (0.0), plus or multiply; null for any other type. */
VELORIUM_C_API VeloriumGeneralExpression* GeneralExpression_Create(int type);
/* A node of arity 1 (2) over copies of its operands; null when the type has another arity. */
VELORIUM_C_API VeloriumGeneralExpression* GeneralExpression_CreateUnary(
    int type, const VeloriumGeneralExpression* a);
VELORIUM_C_API VeloriumGeneralExpression* GeneralExpression_CreateBinary(
    int type, const VeloriumGeneralExpression* a, const VeloriumGeneralExpression* b);
VELORIUM_C_API VeloriumGeneralExpression* GeneralExpression_CreateFromConstant(double value);
/* The tree of the whole store behind the expression (quadratic terms included). */
VELORIUM_C_API VeloriumGeneralExpression* GeneralExpression_CreateFromLinear(
    const VeloriumLinearExpression* expr);
VELORIUM_C_API VeloriumGeneralExpression* GeneralExpression_CreateFromQuad(
    const VeloriumQuadExpression* expr);
VELORIUM_C_API VeloriumGeneralExpression* GeneralExpression_CreateFromVariable(
    const VeloriumVariable* var);

/* ---- Solve result ---------------------------------------------------------------------- */

VELORIUM_C_API void SolveResult_Release(VeloriumSolveResult* result);
VELORIUM_C_API int SolveResult_GetSolveResult(VeloriumSolveResult* result);
VELORIUM_C_API int SolveResult_GetSolutionStatus(VeloriumSolveResult* result);
VELORIUM_C_API double SolveResult_GetRelativeGap(VeloriumSolveResult* result);
VELORIUM_C_API int32_t SolveResult_GetIterationsCount(VeloriumSolveResult* result);
VELORIUM_C_API int64_t SolveResult_GetProcessedNodesCount(VeloriumSolveResult* result);
VELORIUM_C_API double SolveResult_GetObjectiveFunctionValue(VeloriumSolveResult* result);
VELORIUM_C_API double SolveResult_GetBestBoundValue(VeloriumSolveResult* result);
/* Seconds. */
VELORIUM_C_API double SolveResult_GetSolveTime(VeloriumSolveResult* result);
VELORIUM_C_API double SolveResult_GetVariableValueByName(VeloriumSolveResult* result,
                                                         const char* var_name);
VELORIUM_C_API double SolveResult_GetVariableValue(VeloriumSolveResult* result,
                                                   VeloriumVariable* var);
VELORIUM_C_API double SolveResult_GetDualValueByName(VeloriumSolveResult* result,
                                                     const char* constraint_name);
VELORIUM_C_API double SolveResult_GetDualValue(VeloriumSolveResult* result,
                                               VeloriumConstraint* constraint);
VELORIUM_C_API double SolveResult_GetReducedCostByName(VeloriumSolveResult* result,
                                                       const char* var_name);
VELORIUM_C_API double SolveResult_GetReducedCost(VeloriumSolveResult* result,
                                                 VeloriumVariable* var);
/* The value of an expression at the solution. */
VELORIUM_C_API double SolveResult_GetExpressionValueQuad(VeloriumSolveResult* result,
                                                         VeloriumQuadExpression* expr);
VELORIUM_C_API double SolveResult_GetExpressionValueLinear(VeloriumSolveResult* result,
                                                           VeloriumLinearExpression* expr);
VELORIUM_C_API void SolveResult_WriteSolution(VeloriumSolveResult* result,
                                              const char* file_name);
/* Whole arrays: values and reduced costs per variable, dual values per constraint, in the
 * model's order. count (may be null) receives the length; null and 0 when the result has no
 * such array. The array belongs to the result. */
VELORIUM_C_API const double* SolveResult_GetValuesArray(VeloriumSolveResult* result,
                                                        uint64_t* count);
VELORIUM_C_API const double* SolveResult_GetDualValuesArray(VeloriumSolveResult* result,
                                                            uint64_t* count);
VELORIUM_C_API const double* SolveResult_GetReducedCostsArray(VeloriumSolveResult* result,
                                                              uint64_t* count);
VELORIUM_C_API int SolveResult_GetErrorCode(VeloriumSolveResult* result);
VELORIUM_C_API const char* SolveResult_GetErrorText(VeloriumSolveResult* result);
/* The result of an earlier remote calculation; names mapped back through name_map_file. */
VELORIUM_C_API VeloriumSolveResult* SolveResult_Create(const char* calc_uid,
                                                       const char* name_map_file);

/* ---- IIS result ------------------------------------------------------------------------ */

VELORIUM_C_API void ComputeIisResult_Release(VeloriumComputeIisResult* result);
VELORIUM_C_API int ComputeIisResult_GetComputeIisResult(VeloriumComputeIisResult* result);
VELORIUM_C_API int ComputeIisResult_GetModelStatus(VeloriumComputeIisResult* result);
VELORIUM_C_API int ComputeIisResult_GetMinimal(VeloriumComputeIisResult* result);
VELORIUM_C_API int32_t ComputeIisResult_GetNumConstraints(VeloriumComputeIisResult* result);
VELORIUM_C_API int32_t ComputeIisResult_GetNumBounds(VeloriumComputeIisResult* result);
/* Seconds. */
VELORIUM_C_API double ComputeIisResult_GetComputeIisTime(VeloriumComputeIisResult* result);
/* Writes the set as an LP file. */
VELORIUM_C_API void ComputeIisResult_WriteIis(VeloriumComputeIisResult* result,
                                              const char* file_name);
VELORIUM_C_API int ComputeIisResult_GetErrorCode(VeloriumComputeIisResult* result);
VELORIUM_C_API const char* ComputeIisResult_GetErrorText(VeloriumComputeIisResult* result);

/* Positive infinity: the value of an absent bound. */
VELORIUM_C_API double Velorium_Inf(void);

#ifdef __cplusplus
}  /* extern "C" */
#endif

#endif /* VELORIUM_VELORIUM_H */
