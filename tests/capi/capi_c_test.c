/* The function interface as a C program sees it: velorium.h compiles as strict C, and the
 * shared library links and answers, with a real model built and changed through it. */
#include <float.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "velorium/velorium.h"

static int failures = 0;
static int passes = 0;

static void check(int condition, const char* what) {
  if (condition) {
    ++passes;
  } else {
    ++failures;
    printf("FAILED: %s\n", what);
  }
}

/* A model built through the functions: variables, rows, counts, names and errors. */
static void build_a_model(void) {
  const double lower = 0.0, upper = 5.0;
  const int continuous = VELORIUM_CONTINUOUS;
  const double values[] = {1.0, 2.0, 3.0, 4.0};
  const int positions[] = {0, 1};
  const int senses[] = {VELORIUM_LESS_EQUAL, VELORIUM_GREATER_EQUAL};
  const double rhs[] = {10.0, 1.0};
  const int bad_positions[] = {0, 7};
  VeloriumVariable* x;
  VeloriumVariable* bad;
  VeloriumModel* model = Model_Create();
  check(model != NULL, "Model_Create gives a model");
  if (model == NULL) return;

  Model_SetName(model, "c_model");
  check(strcmp(Model_GetName(model), "c_model") == 0, "the model keeps its name");
  x = Model_AddVariable(model, 0.0, 4.0, 1.0, VELORIUM_INTEGER, "x");
  check(Model_GetErrorCode(model) == 0 && strcmp(Variable_GetName(x), "x") == 0, "a named variable");
  check(Variable_GetUpperBound(x) == 4.0, "its upper bound");
  MatrixModel_AddVariables(model, 3, &lower, 1, &upper, 1, NULL, 0, &continuous, 1);
  check(Model_GetVariablesCount(model) == 4, "three more variables in bulk");

  bad = Model_AddVariable(model, 2.0, 1.0, 0.0, VELORIUM_CONTINUOUS, NULL);
  check(bad != NULL && Model_GetErrorCode(model) == -1 && Model_GetErrorText(model)[0] != '\0',
        "crossed bounds: a variable object on no column, and the error in the model");
  check(Model_GetVariablesCount(model) == 4, "no variable added by the failure");

  check(MatrixModel_AddConstraintLinearSparse(model, values, positions, 2, VELORIUM_EQUAL, 3.0) == 0,
        "a linear sparse row gets store index 0");
  MatrixModel_AddConstraintsLinearSparse(model, values, positions, 2, senses, rhs, 2);
  check(Model_GetErrorCode(model) == 0 && Model_GetConstraintsCount(model) == 3, "two rows at once");
  MatrixModel_AddConstraintsLinearSparse(model, values, bad_positions, 2, senses, rhs, 2);
  check(Model_GetErrorCode(model) == -1, "a row on a missing variable fails");
  check(Model_GetConstraintsCount(model) == 3, "and no row of that call stays");

  Variable_Release(bad);
  Variable_Release(x);
  Model_Release(model);
}

int main(void) {
  const double inf = Velorium_Inf();
  check(inf > DBL_MAX, "Velorium_Inf is greater than every finite double");
  check(isinf(inf) && inf > 0, "Velorium_Inf is positive infinity");
  check(-inf < -DBL_MAX, "minus Velorium_Inf is below every finite double");

  /* The enumeration values that travel as int. */
  check(VELORIUM_LESS_EQUAL == 1 && VELORIUM_GREATER_EQUAL == 2, "constraint senses");
  check(VELORIUM_MAXIMIZE == 1, "objective senses");
  check(VELORIUM_SEMIINTEGER == 4, "variable types");
  check(VELORIUM_IMPRECISE == 6 && VELORIUM_REMOTE_FAIL == 6, "statuses and results");
  check(VELORIUM_EXPR_SIGNPOW == 18, "general expression types");

  build_a_model();

  printf("%d passed, %d failed\n", passes, failures);
  return failures == 0 ? 0 : 1;
}
