/* Builds a small production model through the C function interface and prints what it holds:
 *
 *   maximize   5 x + 4 y + 3 z
 *   subject to labour:   2 x + 3 y +   z <= 5
 *              machine:  4 x +   y + 2 z <= 11
 *              storage:  3 x + 4 y + 2 z <= 8
 *              x >= 0, y >= 0, 0 <= z <= 3 (integer)
 *
 * The first row comes from a linear expression, the other two from arrays in one call. The model
 * is then written as MPS and LP files (into the folder given as the first argument, or the
 * system's temporary folder) and the LP file is printed. Then the example asks for a local
 * solve, which this version does not provide (the model reports why), and last, when the
 * environment names a calculation service, solves the model there.
 */
#include <stdio.h>
#include <stdlib.h>

#include "velorium/velorium.h"

/* Prints the model's last error; 1 when there was one. */
static int failed(VeloriumModel* model, const char* what) {
  if (Model_GetErrorCode(model) == 0) return 0;
  fprintf(stderr, "%s: %s\n", what, Model_GetErrorText(model));
  return 1;
}

static const char* type_name(int type) {
  switch (type) {
    case VELORIUM_BINARY:
      return "binary";
    case VELORIUM_INTEGER:
      return "integer";
    case VELORIUM_SEMICONTINUOUS:
      return "semicontinuous";
    case VELORIUM_SEMIINTEGER:
      return "semiinteger";
    default:
      return "continuous";
  }
}

/* Prints an expression's terms as " +2 x +3 y". */
static void print_terms(VeloriumLinearExpression* terms) {
  int i;
  for (i = 0; i < LinearExpression_GetTermsCount(terms); ++i) {
    VeloriumVariable* v = LinearExpression_GetTermVariable(terms, i);
    printf(" %+g %s", LinearExpression_GetTermCoeff(terms, i), Variable_GetName(v));
    Variable_Release(v);
  }
}

static void print_model(VeloriumModel* model) {
  VeloriumLinearExpression* objective = Model_GetObjective(model);
  int i;
  printf("model \"%s\": %d variables, %d constraints, %s\n", Model_GetName(model),
         Model_GetVariablesCount(model), Model_GetConstraintsCount(model),
         Model_IsMip(model) ? "integer" : "continuous");
  for (i = 0; i < Model_GetVariablesCount(model); ++i) {
    VeloriumVariable* v = Model_GetVariable(model, i);
    printf("  variable   %-8s %-10s [%g, %g]\n", Variable_GetName(v), type_name(Variable_GetType(v)),
           Variable_GetLowerBound(v), Variable_GetUpperBound(v));
    Variable_Release(v);
  }
  for (i = 0; i < Model_GetConstraintsCount(model); ++i) {
    VeloriumConstraint* c = Model_GetConstraint(model, i);
    VeloriumLinearExpression* terms = Constraint_GetLinearExpression(c);
    printf("  constraint %-8s", Constraint_GetName(c));
    print_terms(terms);
    printf(" <= %g\n", Constraint_GetUpperBound(c));
    LinearExpression_Release(terms);
    Constraint_Release(c);
  }
  printf("  objective  %s", Model_GetObjectiveSense(model) == VELORIUM_MAXIMIZE ? "maximize" : "minimize");
  print_terms(objective);
  printf("\n");
  LinearExpression_Release(objective);
}

/* Copies a text file to the standard output. */
static void print_file(const char* path) {
  char buffer[4096];
  size_t length;
  FILE* file = fopen(path, "rb");
  if (file == NULL) return;
  while ((length = fread(buffer, 1, sizeof buffer, file)) > 0) fwrite(buffer, 1, length, stdout);
  fclose(file);
}

static int write_files(VeloriumModel* model, const char* folder) {
  char mps_file[1024];
  char lp_file[1024];
  snprintf(mps_file, sizeof mps_file, "%s/c_model.mps", folder);
  snprintf(lp_file, sizeof lp_file, "%s/c_model.lp", folder);
  Model_WriteMps(model, mps_file);
  if (failed(model, "writing the MPS file")) return 1;
  Model_Write(model, lp_file, ""); /* the format follows the extension */
  if (failed(model, "writing the LP file")) return 1;
  printf("\nwrote %s and %s:\n\n", mps_file, lp_file);
  print_file(lp_file);
  return 0;
}

static int build(VeloriumModel* model) {
  /* Rows "machine" and "storage" on the columns x, y, z: one row of coefficients each. */
  const int columns[] = {0, 1, 2};
  const double coefficients[] = {4.0, 1.0, 2.0, /* machine */ 3.0, 4.0, 2.0 /* storage */};
  const int senses[] = {VELORIUM_LESS_EQUAL, VELORIUM_LESS_EQUAL};
  const double limits[] = {11.0, 8.0};
  const char* const names[] = {"machine", "storage"};
  VeloriumVariable* x;
  VeloriumVariable* y;
  VeloriumVariable* z;
  VeloriumLinearExpression* labour;
  VeloriumConstraint* row;
  int i;

  Model_SetName(model, "production");
  x = Model_AddVariable(model, 0.0, Velorium_Inf(), 5.0, VELORIUM_CONTINUOUS, "x");
  y = Model_AddVariable(model, 0.0, Velorium_Inf(), 4.0, VELORIUM_CONTINUOUS, "y");
  z = Model_AddVariable(model, 0.0, 3.0, 3.0, VELORIUM_INTEGER, "z");
  if (failed(model, "adding the variables")) return 1;
  Model_SetObjectiveSense(model, VELORIUM_MAXIMIZE);

  labour = LinearExpression_Create();
  LinearExpression_AddTerm(labour, x, 2.0);
  LinearExpression_AddTerm(labour, y, 3.0);
  LinearExpression_AddTerm(labour, z, 1.0);
  Constraint_Release(Model_AddConstraintLinear1(model, labour, VELORIUM_LESS_EQUAL, 5.0, "labour"));
  LinearExpression_Release(labour);
  Variable_Release(z);
  Variable_Release(y);
  Variable_Release(x);
  if (failed(model, "adding the labour row")) return 1;

  MatrixModel_AddConstraintsLinearSparse(model, coefficients, columns, 3, senses, limits, 2);
  if (failed(model, "adding the rows from arrays")) return 1;
  /* Rows from arrays get generated names; give them their own. */
  for (i = 0; i < 2; ++i) {
    row = Model_GetConstraint(model, i + 1);
    Constraint_SetName(row, names[i]);
    Constraint_Release(row);
  }
  return failed(model, "naming the rows");
}

/* Solves at the calculation service when the environment names one (X_API_KEY, and for the
 * local service NIMBROVA_TEST_SERVER_ADDRESS and VELORIUM_TEST_ROOTS); without a key the
 * client would only report that it is missing. */
static void solve_remotely(VeloriumModel* model) {
  static const char* const columns[] = {"x", "y", "z"};
  VeloriumSolveResult* result;
  int i;
  if (getenv("X_API_KEY") == NULL) {
    printf("\nremote solve: skipped, X_API_KEY is not set (./tools/run-example sets it for a local service)\n");
    return;
  }
  Model_SetBoolParam(model, "log_to_console", 0); /* the client's progress lines stay out of the output */
  result = Model_SolveRemote(model, "");
  if (result == NULL) {
    printf("\nremote solve: %s\n", Model_GetErrorText(model));
    return;
  }
  if (SolveResult_GetSolveResult(result) != VELORIUM_SUCCESS ||
      SolveResult_GetSolutionStatus(result) != VELORIUM_OPTIMAL) {
    printf("\nremote solve: no optimum (solve result %d, status %d)\n", SolveResult_GetSolveResult(result),
           SolveResult_GetSolutionStatus(result));
  } else {
    printf("\nremote solve: optimal, objective %g;", SolveResult_GetObjectiveFunctionValue(result));
    for (i = 0; i < 3; ++i) printf(" %s = %g", columns[i], SolveResult_GetVariableValueByName(result, columns[i]));
    printf("\n");
  }
  SolveResult_Release(result);
}

int main(int argc, char** argv) {
  const char* folder = argc > 1 ? argv[1] : getenv("TMPDIR");
  VeloriumSolveResult* result;
  VeloriumModel* model = Model_Create();
  if (model == NULL) return 1;
  if (folder == NULL || folder[0] == '\0') folder = "/tmp";

  if (build(model) != 0) {
    Model_Release(model);
    return 1;
  }
  print_model(model);
  if (write_files(model, folder) != 0) {
    Model_Release(model);
    return 1;
  }

  result = Model_Solve(model);
  if (result == NULL) {
    printf("\nlocal solve: %s\n", Model_GetErrorText(model));
  } else {
    SolveResult_Release(result);
  }
  solve_remotely(model);
  Model_Release(model);
  return 0;
}
