/* Arguments that the function interface refuses: enumeration values out of range (C lets a
 * caller pass any int) and numbers that are not finite. Every refusal leaves the model as it
 * was, which the model's LP file before and after shows, and reports why in the handle. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "c_check.h"
#include "c_scratch_dir.h"
#include "velorium/velorium.h"

#define VARIABLE_TYPE_TEXT "Невозможно сконвертировать var_types в velorium::variable_type"
#define CONSTRAINT_SENSE_TEXT "Невозможно сконвертировать senses в velorium::constraint_sense"
#define OBJECTIVE_SENSE_TEXT(value) "Неверное значение для параметра [sense] - [" value "]\n"
#define NON_FINITE_TEXT "Неконечное значение"

/* x in [0, 10] and y in [0, 5], c: x + y <= 4, maximise 2 x + y. */
typedef struct {
  VeloriumModel* model;
  VeloriumVariable* x;
  VeloriumLinearExpression* sum;
  VeloriumQuadExpression* square;
} Fixture;

static Fixture fixture_make(void) {
  Fixture f;
  VeloriumVariable* y;
  VeloriumLinearExpression* objective = LinearExpression_Create();
  f.model = Model_Create();
  f.x = Model_AddVariable(f.model, 0.0, 10.0, 0.0, VELORIUM_CONTINUOUS, "x");
  y = Model_AddVariable(f.model, 0.0, 5.0, 0.0, VELORIUM_CONTINUOUS, "y");
  f.sum = LinearExpression_Create();
  LinearExpression_AddTerm(f.sum, f.x, 1.0);
  LinearExpression_AddTerm(f.sum, y, 1.0);
  Constraint_Release(Model_AddConstraintLinear1(f.model, f.sum, VELORIUM_LESS_EQUAL, 4.0, "c"));
  LinearExpression_AddTerm(objective, f.x, 2.0);
  LinearExpression_AddTerm(objective, y, 1.0);
  Model_SetObjectiveLinear(f.model, objective, VELORIUM_MAXIMIZE);
  f.square = QuadExpression_Create();
  QuadExpression_AddTerm(f.square, f.x, f.x, 1.0);
  LinearExpression_Release(objective);
  Variable_Release(y);
  return f;
}

static void fixture_release(Fixture* f) {
  Variable_Release(f->x);
  LinearExpression_Release(f->sum);
  QuadExpression_Release(f->square);
  Model_Release(f->model);
}

/* Each case calls one function with a refused argument; 1 when its result is the neutral one. */
typedef int (*Call)(Fixture* f);

static int add_variable_type_9(Fixture* f) {
  VeloriumVariable* v = Model_AddVariable(f->model, 0.0, 1.0, 0.0, 9, "n");
  int neutral = v != NULL;
  Variable_Release(v);
  return neutral;
}
static int add_variable_type_minus_1(Fixture* f) {
  VeloriumVariable* v = Model_AddVariable(f->model, 0.0, 1.0, 0.0, -1, NULL);
  int neutral = v != NULL;
  Variable_Release(v);
  return neutral;
}
static int add_variables_type_5(Fixture* f) {
  const double lower = 0.0, upper = 1.0;
  const int types[] = {VELORIUM_INTEGER, 5};
  MatrixModel_AddVariables(f->model, 2, &lower, 1, &upper, 1, NULL, 0, types, 2);
  return 1;
}
static int set_type_42(Fixture* f) {
  Variable_SetType(f->x, 42);
  return 1;
}
static int linear1_sense_3(Fixture* f) {
  return Model_AddConstraintLinear1(f->model, f->sum, 3, 5.0, "n") == NULL;
}
static int quad1_sense_minus_1(Fixture* f) {
  return Model_AddConstraintQuad1(f->model, f->square, -1, 5.0, "n") == NULL;
}
static int matrix_constraint_sense_7(Fixture* f) {
  const double c[] = {1.0, 1.0};
  return MatrixModel_AddConstraint(f->model, NULL, 0, 0, c, 2, 7, 1.0) == -1;
}
static int matrix_sparse_constraint_sense_3(Fixture* f) {
  return MatrixModel_AddConstraintSparse(f->model, NULL, NULL, NULL, 0, 0, NULL, 0, 3, 1.0) == -1;
}
static int linear_sparse_sense_4(Fixture* f) {
  const double values[] = {1.0};
  const int positions[] = {0};
  return MatrixModel_AddConstraintLinearSparse(f->model, values, positions, 1, 4, 1.0) == -1;
}
static int linear_sparse_rows_sense_3(Fixture* f) {
  const double values[] = {1.0, 2.0};
  const int positions[] = {0};
  const int senses[] = {VELORIUM_EQUAL, 3};
  const double rhs[] = {1.0, 2.0};
  MatrixModel_AddConstraintsLinearSparse(f->model, values, positions, 1, senses, rhs, 2);
  return 1;
}
static int objective_sense_2(Fixture* f) {
  Model_SetObjectiveSense(f->model, 2);
  return 1;
}
static int objective_linear_sense_minus_1(Fixture* f) {
  Model_SetObjectiveLinear(f->model, f->sum, -1);
  return 1;
}
static int objective_quad_sense_5(Fixture* f) {
  Model_SetObjectiveQuad(f->model, f->square, 5);
  return 1;
}
static int matrix_objective_sense_2(Fixture* f) {
  const double c[] = {1.0, 0.0};
  MatrixModel_SetObjective(f->model, NULL, 0, 0, c, 2, 2);
  return 1;
}
static int matrix_sparse_objective_sense_3(Fixture* f) {
  MatrixModel_SetObjectiveSparse(f->model, NULL, NULL, NULL, 0, 0, NULL, 0, 3);
  return 1;
}
static int objective_coefficient_nan(Fixture* f) {
  VeloriumVariable* v = Model_AddVariable(f->model, 0.0, 1.0, NAN, VELORIUM_CONTINUOUS, "n");
  int neutral = v != NULL;
  Variable_Release(v);
  return neutral;
}
static int upper_bound_nan(Fixture* f) {
  Variable_SetUpperBound(f->x, NAN);
  return 1;
}
static int linear_sparse_rows_second_value_infinite(Fixture* f) {
  const double values[] = {1.0, INFINITY};
  const int positions[] = {0};
  const int senses[] = {VELORIUM_EQUAL, VELORIUM_EQUAL};
  const double rhs[] = {1.0, 2.0};
  MatrixModel_AddConstraintsLinearSparse(f->model, values, positions, 1, senses, rhs, 2);
  return 1;
}
static int right_hand_side_nan(Fixture* f) {
  return Model_AddConstraintLinear1(f->model, f->sum, VELORIUM_EQUAL, NAN, "n") == NULL;
}

typedef struct {
  const char* title;
  Call call;
  int in_variable; /* the error is the variable x's, not the model's */
  const char* text;
} Case;

/* The model as its LP file holds it. */
static void snapshot(VeloriumModel* model, const ScratchDir* dir, char* out, size_t out_size) {
  char path[600];
  Model_WriteLp(model, scratch_dir_file(dir, "snapshot.lp", path, sizeof path));
  if (scratch_dir_read_file(dir, "snapshot.lp", out, out_size) < 0) out[0] = '\0';
}

static void refused_arguments_change_nothing(const ScratchDir* dir) {
  static const Case cases[] = {
      {"Model_AddVariable, type 9", add_variable_type_9, 0, VARIABLE_TYPE_TEXT},
      {"Model_AddVariable, type -1", add_variable_type_minus_1, 0, VARIABLE_TYPE_TEXT},
      {"MatrixModel_AddVariables, a type 5", add_variables_type_5, 0, VARIABLE_TYPE_TEXT},
      {"Variable_SetType 42", set_type_42, 1, VARIABLE_TYPE_TEXT},
      {"Model_AddConstraintLinear1, sense 3", linear1_sense_3, 0, CONSTRAINT_SENSE_TEXT},
      {"Model_AddConstraintQuad1, sense -1", quad1_sense_minus_1, 0, CONSTRAINT_SENSE_TEXT},
      {"MatrixModel_AddConstraint, sense 7", matrix_constraint_sense_7, 0, CONSTRAINT_SENSE_TEXT},
      {"MatrixModel_AddConstraintSparse, sense 3", matrix_sparse_constraint_sense_3, 0, CONSTRAINT_SENSE_TEXT},
      {"MatrixModel_AddConstraintLinearSparse, sense 4", linear_sparse_sense_4, 0, CONSTRAINT_SENSE_TEXT},
      {"MatrixModel_AddConstraintsLinearSparse, a sense 3", linear_sparse_rows_sense_3, 0, CONSTRAINT_SENSE_TEXT},
      {"Model_SetObjectiveSense 2", objective_sense_2, 0, OBJECTIVE_SENSE_TEXT("2")},
      {"Model_SetObjectiveLinear, sense -1", objective_linear_sense_minus_1, 0, OBJECTIVE_SENSE_TEXT("-1")},
      {"Model_SetObjectiveQuad, sense 5", objective_quad_sense_5, 0, OBJECTIVE_SENSE_TEXT("5")},
      {"MatrixModel_SetObjective, sense 2", matrix_objective_sense_2, 0, OBJECTIVE_SENSE_TEXT("2")},
      {"MatrixModel_SetObjectiveSparse, sense 3", matrix_sparse_objective_sense_3, 0, OBJECTIVE_SENSE_TEXT("3")},
      {"Model_AddVariable, objective NaN", objective_coefficient_nan, 0, NON_FINITE_TEXT},
      {"Variable_SetUpperBound NaN", upper_bound_nan, 1, NON_FINITE_TEXT},
      {"MatrixModel_AddConstraintsLinearSparse, an infinite value in row 2",
       linear_sparse_rows_second_value_infinite, 0, NON_FINITE_TEXT},
      {"Model_AddConstraintLinear1, right-hand side NaN", right_hand_side_nan, 0, NON_FINITE_TEXT},
  };
  static char before[8192], after[8192];
  size_t k;
  for (k = 0; k < sizeof cases / sizeof cases[0]; ++k) {
    const Case* c = &cases[k];
    Fixture f = fixture_make();
    int neutral;
    snapshot(f.model, dir, before, sizeof before);
    neutral = c->call(&f);
    printf("%s\n", c->title);
    CHECK(neutral, "the neutral result");
    if (c->in_variable) {
      CHECK(Variable_GetErrorCode(f.x) == -1, "the variable reports the failure");
      CHECK_TEXT(Variable_GetErrorText(f.x), c->text, "with the catalogue text");
    } else {
      CHECK(Model_GetErrorCode(f.model) == -1, "the model reports the failure");
      CHECK_TEXT(Model_GetErrorText(f.model), c->text, "with the catalogue text");
    }
    snapshot(f.model, dir, after, sizeof after);
    CHECK(before[0] != '\0', "the model's file was written");
    CHECK_TEXT(after, before, "and nothing in the model changed");
    fixture_release(&f);
  }
}

/* Factories have no object to hold an error: they give nothing. */
static void factories_give_nothing_for_refused_arguments(void) {
  Fixture f = fixture_make();
  VeloriumGeneralExpression* leaf = GeneralExpression_CreateFromConstant(2.0);
  CHECK(leaf != NULL, "a finite constant makes a node");
  CHECK(Constraint_CreateFromLinear(f.sum, 3, 1.0) == NULL, "Constraint_CreateFromLinear, sense 3");
  CHECK(Constraint_CreateFromQuad(f.square, -1, 1.0) == NULL, "Constraint_CreateFromQuad, sense -1");
  CHECK(Constraint_CreateFromLinear(f.sum, VELORIUM_EQUAL, NAN) == NULL, "Constraint_CreateFromLinear, NaN");
  CHECK(GeneralExpression_Create(19) == NULL, "GeneralExpression_Create, type 19");
  CHECK(GeneralExpression_Create(-1) == NULL, "GeneralExpression_Create, type -1");
  CHECK(GeneralExpression_CreateUnary(-3, leaf) == NULL, "GeneralExpression_CreateUnary, type -3");
  CHECK(GeneralExpression_CreateBinary(99, leaf, leaf) == NULL, "GeneralExpression_CreateBinary, type 99");
  CHECK(GeneralExpression_CreateFromConstant(NAN) == NULL, "GeneralExpression_CreateFromConstant, NaN");
  CHECK(GeneralExpression_CreateFromConstant(-INFINITY) == NULL, "GeneralExpression_CreateFromConstant, -inf");
  GeneralExpression_Release(leaf);
  fixture_release(&f);
}

int main(void) {
  ScratchDir dir;
  if (!scratch_dir_make(&dir)) {
    printf("no scratch folder\n");
    return 1;
  }
  refused_arguments_change_nothing(&dir);
  factories_give_nothing_for_refused_arguments();
  scratch_dir_remove(&dir);
  return c_check_summary();
}
