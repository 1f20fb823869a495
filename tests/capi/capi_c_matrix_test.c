/* The matrix-form functions from C: variables in bulk, linear rows from sparse arrays (many at
 * once, all or none), quadratic rows and the objective from dense and compressed sparse rows.
 * Every rejected call must leave the model exactly as it was. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "c_check.h"
#include "velorium/velorium.h"

/* A model with `count` continuous variables in [0, 10] named x#0, x#1, ... */
static VeloriumModel* model_with_variables(uint64_t count) {
  const double lower = 0.0, upper = 10.0;
  const int continuous = VELORIUM_CONTINUOUS;
  VeloriumModel* model = Model_Create();
  MatrixModel_AddVariables(model, count, &lower, 1, &upper, 1, NULL, 0, &continuous, 1);
  return model;
}

/* Checks the name, bounds and linear terms of the row at a position. */
static void check_row(VeloriumModel* model, int position, const char* name, double lower,
                      double upper, int terms, const double* coefficients) {
  char what[128];
  int t;
  VeloriumConstraint* row = Model_GetConstraint(model, position);
  VeloriumLinearExpression* linear = Constraint_GetLinearExpression(row);
  snprintf(what, sizeof what, "row %d: name, bounds and %d terms", position, terms);
  CHECK(Constraint_GetErrorCode(row) == 0 && Constraint_GetName(row) != NULL &&
            strcmp(Constraint_GetName(row), name) == 0 && Constraint_GetLowerBound(row) == lower &&
            Constraint_GetUpperBound(row) == upper && LinearExpression_GetTermsCount(linear) == terms,
        what);
  for (t = 0; t < terms && coefficients != NULL; ++t) {
    snprintf(what, sizeof what, "row %d: coefficient %d", position, t);
    CHECK(LinearExpression_GetTermCoeff(linear, t) == coefficients[t], what);
  }
  LinearExpression_Release(linear);
  Constraint_Release(row);
}

static void variables_in_bulk_are_all_added_or_none(void) {
  const double lower[] = {0.0, -1.0, 2.0};
  const double upper[] = {1.0, 1.0, 5.0};
  const double crossed_upper[] = {1.0, -2.0, 5.0};
  const double objective[] = {1.0, 0.0, -2.0};
  const int types[] = {VELORIUM_BINARY, VELORIUM_CONTINUOUS, VELORIUM_INTEGER};
  const int all_integer = VELORIUM_INTEGER;
  VeloriumModel* model = Model_Create();
  VeloriumVariable* third;
  VeloriumLinearExpression* objective_view;

  MatrixModel_AddVariables(model, 3, lower, 3, upper, 3, objective, 3, types, 3);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetVariablesCount(model) == 3, "three variables");
  third = Model_GetVariable(model, 2);
  CHECK_TEXT(Variable_GetName(third), "x#2", "named by their position");
  CHECK(Variable_GetType(third) == VELORIUM_INTEGER && Variable_GetLowerBound(third) == 2.0,
        "with their own type and bounds");
  objective_view = Model_GetObjective(model);
  CHECK(LinearExpression_GetTermsCount(objective_view) == 2,
        "the non-zero objective coefficients become terms");

  MatrixModel_AddVariables(model, 3, lower, 3, crossed_upper, 3, NULL, 0, types, 3);
  CHECK(Model_GetErrorCode(model) == -1, "crossed bounds of the second variable fail");
  CHECK_TEXT(Model_GetErrorText(model),
             "Недопустимые границы переменной: верхняя граница [-2.000000] меньше нижней "
             "границы [-1.000000]",
             "and the text names the bounds");
  CHECK(Model_GetVariablesCount(model) == 3, "none of the three is added");
  MatrixModel_AddVariables(model, 3, lower, 2, upper, 3, NULL, 0, &all_integer, 1);
  CHECK(Model_GetErrorCode(model) == -1 && Model_GetVariablesCount(model) == 3,
        "two lower bounds for three variables: none is added");
  MatrixModel_AddVariables(model, 0, lower, 1, upper, 1, NULL, 0, &all_integer, 1);
  CHECK(Model_GetErrorCode(model) == -1 && Model_GetVariablesCount(model) == 3,
        "zero variables is refused");

  LinearExpression_Release(objective_view);
  Variable_Release(third);
  Model_Release(model);
}

static void linear_sparse_rows_share_one_column_pattern(void) {
  /* Three rows on the columns {0, 2}: row r has the coefficients values[2r], values[2r + 1]. */
  const int positions[] = {0, 2};
  const double values[] = {1.0, 2.0, 3.0, 0.0, -1.0, 5.0};
  const int senses[] = {VELORIUM_LESS_EQUAL, VELORIUM_GREATER_EQUAL, VELORIUM_EQUAL};
  const double rhs[] = {4.0, 1.0, 2.5};
  const double row0[] = {1.0, 2.0}, row1[] = {3.0}, row2[] = {-1.0, 5.0};
  const double inf = Velorium_Inf();
  VeloriumModel* model = model_with_variables(3);

  MatrixModel_AddConstraintsLinearSparse(model, values, positions, 2, senses, rhs, 3);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetConstraintsCount(model) == 3,
        "three rows in one call");
  check_row(model, 0, "C#0", -inf, 4.0, 2, row0);
  check_row(model, 1, "C#1", 1.0, inf, 1, row1); /* a zero coefficient makes no term */
  check_row(model, 2, "C#2", 2.5, 2.5, 2, row2);

  MatrixModel_AddConstraintsLinearSparse(model, NULL, positions, 2, senses, rhs, 2);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetConstraintsCount(model) == 5,
        "without values: rows without terms");
  check_row(model, 4, "C#4", 1.0, inf, 0, NULL);

  MatrixModel_AddConstraintsLinearSparse(model, values, positions, 2, senses, rhs, 0);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetConstraintsCount(model) == 5,
        "no rows: nothing changes");
  Model_Release(model);
}

static void a_rejected_call_of_sparse_rows_leaves_the_model_as_it_was(void) {
  /* The rows of one call share their positions, so a position outside the model fails the
   * first row already; the model keeps the rows that it had before the call, named as before. */
  const int bad_positions[] = {1, 7};
  const int negative_positions[] = {-1, 0};
  const int positions[] = {0, 1};
  const double values[] = {1.0, 1.0, 2.0, 2.0, 3.0, 3.0};
  const int senses[] = {VELORIUM_LESS_EQUAL, VELORIUM_LESS_EQUAL, VELORIUM_LESS_EQUAL};
  const double rhs[] = {1.0, 2.0, 3.0};
  const double kept[] = {1.0, 1.0};
  const double inf = Velorium_Inf();
  VeloriumModel* model = model_with_variables(2);
  VeloriumLinearExpression* e = LinearExpression_Create();
  VeloriumVariable* x = Model_GetVariable(model, 0);
  VeloriumConstraint* named;
  int before;

  LinearExpression_AddTerm(e, x, 1.0);
  named = Model_AddConstraintLinear1(model, e, VELORIUM_GREATER_EQUAL, 0.5, "named");
  MatrixModel_AddConstraintsLinearSparse(model, values, positions, 2, senses, rhs, 1);
  before = Model_GetConstraintsCount(model);
  CHECK(before == 2, "two rows before the rejected calls");

  MatrixModel_AddConstraintsLinearSparse(model, values, bad_positions, 2, senses, rhs, 3);
  CHECK(Model_GetErrorCode(model) == -1, "a position outside the model fails the call");
  CHECK_TEXT(Model_GetErrorText(model), "Неверный индекс объекта [7]", "naming the position");
  CHECK(Model_GetConstraintsCount(model) == before, "no row of that call stays");
  MatrixModel_AddConstraintsLinearSparse(model, values, negative_positions, 2, senses, rhs, 3);
  CHECK(Model_GetErrorCode(model) == -1 && Model_GetConstraintsCount(model) == before,
        "a negative position as well");

  check_row(model, 0, "named", 0.5, inf, 1, kept);
  check_row(model, 1, "C#1", -inf, 1.0, 2, kept);
  MatrixModel_AddConstraintsLinearSparse(model, values, positions, 2, senses, rhs, 1);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetConstraintsCount(model) == before + 1,
        "the model takes rows again after a rejected call");

  Constraint_Release(named);
  Variable_Release(x);
  LinearExpression_Release(e);
  Model_Release(model);
}

static void quadratic_rows_from_dense_and_sparse_matrices(void) {
  /* Q = [[2, 1], [1, 4]] stands for 1/2 x'Qx = x0^2 + x0 x1 + 2 x1^2. */
  const double dense_q[] = {2.0, 1.0, 1.0, 4.0};
  const double q_values[] = {2.0, 1.0, 1.0, 4.0};
  const int q_columns[] = {0, 1, 0, 1};
  const int q_row_starts[] = {0, 2, 4};
  const int decreasing_row_starts[] = {0, 3, 2};
  const int negative_row_start[] = {-1, 2, 4};
  const double c[] = {1.0, -1.0};
  VeloriumModel* model = model_with_variables(2);
  VeloriumConstraint* row;
  VeloriumQuadExpression* quad;
  int index;

  index = MatrixModel_AddConstraint(model, dense_q, 2, 2, c, 2, VELORIUM_LESS_EQUAL, 9.0);
  CHECK(index == 0 && Model_GetErrorCode(model) == 0, "a dense quadratic row gets index 0");
  index = MatrixModel_AddConstraintSparse(model, q_values, q_columns, q_row_starts, 2, 2, c, 2,
                                          VELORIUM_GREATER_EQUAL, 1.0);
  CHECK(index == 1 && Model_GetConstraintsCount(model) == 2, "a sparse one gets index 1");
  row = Model_GetConstraint(model, 1);
  quad = Constraint_GetQuadExpression(row);
  CHECK(QuadExpression_GetTermsCount(quad) == 3, "a symmetric Q gives three terms");
  CHECK(QuadExpression_GetTermCoeff(quad, 0) == 1.0 && QuadExpression_GetTermCoeff(quad, 1) == 1.0 &&
            QuadExpression_GetTermCoeff(quad, 2) == 2.0,
        "halved on the diagonal, merged off it");

  index = MatrixModel_AddConstraintSparse(model, q_values, q_columns, decreasing_row_starts, 2, 2,
                                          c, 2, VELORIUM_LESS_EQUAL, 1.0);
  CHECK(index == -1 && Model_GetErrorCode(model) == -1, "decreasing row starts are refused");
  CHECK(Model_GetErrorText(model)[0] != '\0', "with a text");
  index = MatrixModel_AddConstraintSparse(model, q_values, q_columns, negative_row_start, 2, 2, c,
                                          2, VELORIUM_LESS_EQUAL, 1.0);
  CHECK(index == -1 && Model_GetErrorCode(model) == -1, "a negative row start is refused");
  index = MatrixModel_AddConstraint(model, dense_q, 2, 2, c, 1, VELORIUM_LESS_EQUAL, 1.0);
  CHECK(index == -1 && Model_GetErrorCode(model) == -1, "too few linear coefficients");
  CHECK_TEXT(Model_GetErrorText(model),
             "Количество коэффициентов линейной части должно быть равно кол-ву переменных",
             "says why");
  index = MatrixModel_AddConstraint(model, dense_q, 1, 4, c, 2, VELORIUM_LESS_EQUAL, 1.0);
  CHECK(index == -1, "a Q that is not square is refused");
  CHECK_TEXT(Model_GetErrorText(model), "Матрица, задающая квадратичное выражение, должна быть квадратной",
             "says why");
  CHECK(Model_GetConstraintsCount(model) == 2, "no refused row was added");

  QuadExpression_Release(quad);
  Constraint_Release(row);
  Model_Release(model);
}

static void the_objective_from_matrices(void) {
  const double q_values[] = {2.0, 6.0};
  const int q_columns[] = {0, 2};
  const int q_row_starts[] = {0, 1, 1, 2};
  const double c[] = {0.0, 3.0, -1.0};
  const double dense_q[] = {1.0, 0.0, 0.0, 1.0};
  VeloriumModel* model = model_with_variables(3);
  VeloriumLinearExpression* linear = Model_GetObjective(model);
  VeloriumQuadExpression* quad = Model_GetQuadObjective(model);

  MatrixModel_SetObjectiveSparse(model, q_values, q_columns, q_row_starts, 3, 3, c, 3,
                                 VELORIUM_MAXIMIZE);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetObjectiveSense(model) == VELORIUM_MAXIMIZE,
        "a sparse objective, maximised");
  CHECK(LinearExpression_GetTermsCount(linear) == 2 && QuadExpression_GetTermsCount(quad) == 2,
        "its linear and quadratic terms");
  CHECK(QuadExpression_GetTermCoeff(quad, 1) == 3.0 && QuadExpression_GetTermVariable1Index(quad, 1) == 2,
        "the diagonal entry of x2 halved");

  MatrixModel_SetObjective(model, dense_q, 2, 2, c, 3, VELORIUM_MINIMIZE);
  CHECK(Model_GetErrorCode(model) == -1, "a 2 by 2 Q for three variables is refused");
  CHECK_TEXT(Model_GetErrorText(model),
             "Размер квадратичной матрицы должен быть равен количеству переменных", "says why");

  QuadExpression_Release(quad);
  LinearExpression_Release(linear);
  Model_Release(model);
}

int main(void) {
  variables_in_bulk_are_all_added_or_none();
  linear_sparse_rows_share_one_column_pattern();
  a_rejected_call_of_sparse_rows_leaves_the_model_as_it_was();
  quadratic_rows_from_dense_and_sparse_matrices();
  the_objective_from_matrices();
  return c_check_summary();
}
