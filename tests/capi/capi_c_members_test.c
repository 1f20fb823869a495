/* Variables, expressions, constraints and the objective of a model, driven from C through the
 * function interface only: what is added is what the model then shows, handles are views of the
 * model, and handles that refer to nothing report it in their own error information. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "c_check.h"
#include "velorium/velorium.h"

/* The model of most checks below:
 *   x integer in [0, 10], b binary, z continuous in [0, inf), s semi-continuous in [1, 5]. */
typedef struct {
  VeloriumModel* model;
  VeloriumVariable* x;
  VeloriumVariable* b;
  VeloriumVariable* z;
  VeloriumVariable* s;
} Fixture;

static Fixture fixture_make(void) {
  Fixture f;
  f.model = Model_Create();
  f.x = Model_AddVariable(f.model, 0.0, 10.0, 1.0, VELORIUM_INTEGER, "x");
  f.b = Model_AddVariable(f.model, -3.0, 0.7, 0.0, VELORIUM_BINARY, "b");
  f.z = Model_AddVariable(f.model, 0.0, Velorium_Inf(), -1.0, VELORIUM_CONTINUOUS, "z");
  f.s = Model_AddVariable(f.model, 1.0, 5.0, 0.0, VELORIUM_SEMICONTINUOUS, "s");
  return f;
}

static void fixture_release(Fixture* f) {
  Variable_Release(f->x);
  Variable_Release(f->b);
  Variable_Release(f->z);
  Variable_Release(f->s);
  Model_Release(f->model);
}

/* A linear expression of (variable, coefficient) pairs. */
static VeloriumLinearExpression* linear_of(VeloriumVariable* v1, double c1, VeloriumVariable* v2,
                                           double c2) {
  VeloriumLinearExpression* e = LinearExpression_Create();
  LinearExpression_AddTerm(e, v1, c1);
  if (v2 != NULL) LinearExpression_AddTerm(e, v2, c2);
  return e;
}

static void variables_keep_bounds_types_and_names(void) {
  Fixture f = fixture_make();
  VeloriumVariable* odd_type;
  VeloriumVariable* by_name;
  VeloriumVariable* by_position;

  CHECK(Model_GetErrorCode(f.model) == 0 && Model_GetVariablesCount(f.model) == 4,
        "four variables added");
  CHECK(Variable_GetType(f.x) == VELORIUM_INTEGER && Variable_GetLowerBound(f.x) == 0.0 &&
            Variable_GetUpperBound(f.x) == 10.0,
        "x: integer in [0, 10]");
  CHECK(Variable_GetType(f.b) == VELORIUM_BINARY && Variable_GetLowerBound(f.b) == 0.0 &&
            Variable_GetUpperBound(f.b) == 1.0,
        "a binary variable's bounds are rounded into [0, 1]");
  CHECK(isinf(Variable_GetUpperBound(f.z)) && Variable_GetUpperBound(f.z) == Velorium_Inf(),
        "z has no upper bound");
  CHECK(Variable_GetType(f.s) == VELORIUM_SEMICONTINUOUS, "s is semi-continuous");
  CHECK(Model_IsMip(f.model) == 1, "a model with an integer variable is a MIP");

  odd_type = Model_AddVariable(f.model, 0.0, 1.0, 0.0, 9, "odd");
  CHECK(Model_GetErrorCode(f.model) == -1 && Model_GetVariablesCount(f.model) == 4,
        "an unknown type is refused and adds nothing");
  Variable_GetType(odd_type);
  CHECK(Variable_GetErrorCode(odd_type) == -1, "the object given back refers to no column");

  by_name = Model_GetVariableByName(f.model, "z");
  Variable_SetUpperBound(by_name, 7.0);
  Variable_SetLowerBound(by_name, -2.0);
  Variable_SetType(by_name, VELORIUM_SEMIINTEGER);
  CHECK(Variable_GetErrorCode(by_name) == 0, "changing z through a second handle");
  CHECK(Variable_GetUpperBound(f.z) == 7.0 && Variable_GetLowerBound(f.z) == -2.0 &&
            Variable_GetType(f.z) == VELORIUM_SEMIINTEGER,
        "both handles are views of the same column");

  by_position = Model_GetVariable(f.model, 1);
  CHECK_TEXT(Variable_GetName(by_position), "b", "position 1 is b");
  Variable_SetName(by_position, "flag");
  CHECK_TEXT(Variable_GetName(f.b), "flag", "a new name is seen by every handle");
  Variable_Release(by_position);
  by_position = Model_GetVariableByName(f.model, "flag");
  CHECK(Model_GetErrorCode(f.model) == 0 && Variable_GetLowerBound(by_position) == 0.0,
        "and found by it");

  Variable_Release(by_position);
  Variable_Release(by_name);
  Variable_Release(odd_type);
  fixture_release(&f);
}

static void failed_lookups_give_handles_that_refer_to_nothing(void) {
  Fixture f = fixture_make();
  VeloriumVariable* crossed = Model_AddVariable(f.model, 2.0, 1.0, 0.0, VELORIUM_CONTINUOUS, "c");
  VeloriumVariable* missing;
  VeloriumVariable* outside;

  CHECK(crossed != NULL && Model_GetErrorCode(f.model) == -1,
        "crossed bounds fail, and still give a handle");
  CHECK_TEXT(Model_GetErrorText(f.model),
             "Недопустимые границы переменной: верхняя граница [1.000000] меньше нижней "
             "границы [2.000000]",
             "with the bounds in the text");
  CHECK(Model_GetVariablesCount(f.model) == 4 && Model_GetErrorCode(f.model) == 0,
        "nothing was added, and the next operation clears the model's error");

  missing = Model_GetVariableByName(f.model, "nope");
  CHECK(missing != NULL && Model_GetErrorCode(f.model) == -1, "an unknown name fails");
  CHECK_TEXT(Model_GetErrorText(f.model), "Переменная с именем [nope] отсутствует",
             "with the name in the text");
  outside = Model_GetVariable(f.model, 4);
  CHECK(outside != NULL && Model_GetErrorCode(f.model) == -1, "a position past the end fails");
  CHECK_TEXT(Model_GetErrorText(f.model), "Неверный индекс объекта [4]", "with the position");

  /* The handles that refer to no column answer every question with an error of their own. */
  CHECK(Variable_GetName(outside) == NULL && Variable_GetErrorCode(outside) == -1,
        "a handle on no column has no name");
  CHECK_TEXT(Variable_GetErrorText(outside), "Неверный индекс объекта [-1]",
             "and says that its index is invalid");
  CHECK(Variable_GetUpperBound(missing) == 0.0 && Variable_GetErrorCode(missing) == -1,
        "nor bounds");
  Variable_SetLowerBound(crossed, 0.0);
  CHECK(Variable_GetErrorCode(crossed) == -1 && Model_GetVariablesCount(f.model) == 4,
        "and changes nothing");

  Variable_Release(crossed);
  Variable_Release(outside);
  Variable_Release(missing);
  fixture_release(&f);
}

static void expressions_hold_terms_and_copies_are_independent(void) {
  Fixture f = fixture_make();
  VeloriumLinearExpression* e = linear_of(f.x, 2.0, f.z, 3.0);
  VeloriumLinearExpression* copy;
  VeloriumQuadExpression* q = QuadExpression_Create();
  VeloriumQuadExpression* quad_view;
  VeloriumLinearExpression* linear_view;
  VeloriumVariable* term_variable;

  LinearExpression_AddConstant(e, 1.5);
  CHECK(LinearExpression_GetTermsCount(e) == 2 && LinearExpression_GetConstant(e) == 1.5,
        "two terms and a constant");
  term_variable = LinearExpression_GetTermVariable(e, 1);
  CHECK_TEXT(Variable_GetName(term_variable), "z", "the second term is on z");
  CHECK(LinearExpression_GetTermCoeff(e, 1) == 3.0, "with its coefficient");

  copy = LinearExpression_CreateFreeCopy(e);
  LinearExpression_SetTermCoeff(copy, 0, -4.0);
  LinearExpression_RemoveTerm(copy, 1);
  CHECK(LinearExpression_GetTermsCount(copy) == 1 && LinearExpression_GetTermCoeff(copy, 0) == -4.0,
        "the copy changes");
  CHECK(LinearExpression_GetTermsCount(e) == 2 && LinearExpression_GetTermCoeff(e, 0) == 2.0,
        "the original does not");

  LinearExpression_GetTermCoeff(e, 5);
  CHECK(LinearExpression_GetErrorCode(e) == -1 && LinearExpression_GetErrorText(e)[0] != '\0',
        "a term index past the end fails in the expression");

  QuadExpression_AddTerm(q, f.x, f.x, 1.0);
  QuadExpression_AddTerm(q, f.x, f.z, 2.0);
  linear_view = QuadExpression_GetLinearPart(q);
  LinearExpression_AddTerm(linear_view, f.s, 5.0);
  CHECK(QuadExpression_GetTermsCount(q) == 2 && LinearExpression_GetTermsCount(linear_view) == 1,
        "a quadratic expression and its linear part share one store");
  CHECK(QuadExpression_GetTermVariable2Index(q, 1) == 2, "the second factor of x*z is z");
  quad_view = LinearExpression_GetQuadPart(linear_view);
  CHECK(QuadExpression_GetTermsCount(quad_view) == 2, "the linear part leads back to it");

  QuadExpression_Release(quad_view);
  LinearExpression_Release(linear_view);
  QuadExpression_Release(q);
  Variable_Release(term_variable);
  LinearExpression_Release(copy);
  LinearExpression_Release(e);
  fixture_release(&f);
}

static void rows_come_from_linear_and_quadratic_expressions(void) {
  Fixture f = fixture_make();
  VeloriumLinearExpression* e = linear_of(f.x, 2.0, f.z, 3.0);
  VeloriumLinearExpression* constant_only = LinearExpression_Create();
  VeloriumQuadExpression* q = QuadExpression_Create();
  VeloriumLinearExpression* q_linear;
  VeloriumConstraint* cap;
  VeloriumConstraint* band;
  VeloriumConstraint* ball;
  VeloriumConstraint* shell;
  VeloriumConstraint* free_row;
  VeloriumConstraint* from_object;
  VeloriumConstraint* nothing;
  VeloriumConstraint* found;
  VeloriumLinearExpression* row_linear;
  VeloriumQuadExpression* row_quad;

  cap = Model_AddConstraintLinear1(f.model, e, VELORIUM_LESS_EQUAL, 10.0, "cap");
  CHECK(cap != NULL && Model_GetErrorCode(f.model) == 0, "a linear row with a sense");
  CHECK(Constraint_GetLowerBound(cap) == -Velorium_Inf() && Constraint_GetUpperBound(cap) == 10.0,
        "less-equal: from minus infinity to the right-hand side");
  band = Model_AddConstraintLinear2(f.model, e, 1.0, 4.0, "band");
  CHECK(Constraint_GetRange(band) == 3.0, "a linear row with two bounds");

  QuadExpression_AddTerm(q, f.x, f.x, 1.0);
  QuadExpression_AddTerm(q, f.z, f.z, 1.0);
  q_linear = QuadExpression_GetLinearPart(q);
  LinearExpression_AddTerm(q_linear, f.x, -1.0);
  ball = Model_AddConstraintQuad1(f.model, q, VELORIUM_LESS_EQUAL, 25.0, "ball");
  shell = Model_AddConstraintQuad2(f.model, q, 4.0, 9.0, NULL);
  CHECK(ball != NULL && shell != NULL && Model_GetConstraintsCount(f.model) == 4,
        "quadratic rows with a sense and with two bounds");
  row_quad = Constraint_GetQuadExpression(ball);
  row_linear = Constraint_GetLinearExpression(ball);
  CHECK(QuadExpression_GetTermsCount(row_quad) == 2 && LinearExpression_GetTermsCount(row_linear) == 1,
        "the quadratic row keeps its quadratic and linear terms");
  CHECK_TEXT(Constraint_GetName(shell), "C#3", "a row without a name gets a generated one");
  CHECK(Model_IsNonlinear(f.model) == 1, "a quadratic row makes the model nonlinear");

  free_row = Constraint_CreateFromLinear(e, VELORIUM_GREATER_EQUAL, 2.0);
  from_object = Model_AddConstraint(f.model, free_row, "from_object");
  CHECK(from_object != NULL && Model_GetConstraintsCount(f.model) == 5,
        "a free constraint object added as a row");
  CHECK(Constraint_GetLowerBound(from_object) == 2.0 && isinf(Constraint_GetUpperBound(from_object)),
        "with the bounds of its sense");
  CHECK(Constraint_GetLowerBound(free_row) == 2.0, "the free object stays as it was");

  LinearExpression_SetConstant(constant_only, 3.0);
  nothing = Model_AddConstraintLinear2(f.model, constant_only, 0.0, 1.0, "nothing");
  CHECK(nothing != NULL && Model_GetConstraintsCount(f.model) == 5,
        "an expression without terms adds no row");

  found = Model_GetConstraintByName(f.model, "cap");
  Constraint_SetUpperBound(found, 12.0);
  CHECK(Constraint_GetUpperBound(cap) == 12.0, "constraint handles are views of the row");
  Constraint_SetName(found, "capacity");
  CHECK_TEXT(Constraint_GetName(cap), "capacity", "names too");
  Constraint_Release(found);
  found = Model_GetConstraintByName(f.model, "cap");
  CHECK(Model_GetErrorCode(f.model) == -1, "the old name is gone");
  Constraint_Release(found);
  found = Model_GetConstraint(f.model, 9);
  CHECK(Model_GetErrorCode(f.model) == -1, "a row position past the end fails");
  CHECK_TEXT(Model_GetErrorText(f.model), "Неверный индекс объекта [9]", "with the position");
  CHECK(Constraint_GetName(found) == NULL && Constraint_GetErrorCode(found) == -1,
        "its handle refers to no row");
  CHECK_TEXT(Constraint_GetErrorText(found), "Неверный индекс объекта [-1]", "and says so");

  Model_RemoveConstr(f.model, band);
  CHECK(Model_GetErrorCode(f.model) == 0 && Model_GetConstraintsCount(f.model) == 4,
        "a row removed through the model");
  CHECK(Constraint_GetUpperBound(band) == 4.0 && Constraint_GetErrorCode(band) == 0,
        "the handle it was removed through keeps a copy of the row");
  Constraint_SetUpperBound(band, 8.0);
  CHECK(Model_GetConstraintsCount(f.model) == 4 && Constraint_GetUpperBound(band) == 8.0,
        "a free copy: changing it changes no row");

  Constraint_Release(found);
  Constraint_Release(nothing);
  Constraint_Release(from_object);
  Constraint_Release(free_row);
  LinearExpression_Release(row_linear);
  QuadExpression_Release(row_quad);
  Constraint_Release(shell);
  Constraint_Release(ball);
  Constraint_Release(band);
  Constraint_Release(cap);
  LinearExpression_Release(q_linear);
  QuadExpression_Release(q);
  LinearExpression_Release(constant_only);
  LinearExpression_Release(e);
  fixture_release(&f);
}

static void the_objective_is_set_read_and_changed_through_its_views(void) {
  Fixture f = fixture_make();
  VeloriumLinearExpression* e = linear_of(f.x, 3.0, f.z, -1.0);
  VeloriumLinearExpression* objective;
  VeloriumLinearExpression* again;
  VeloriumQuadExpression* q = QuadExpression_Create();
  VeloriumQuadExpression* quad_objective;

  objective = Model_GetObjective(f.model);
  CHECK(LinearExpression_GetTermsCount(objective) == 2,
        "the coefficients given with the variables are the objective");

  LinearExpression_SetConstant(e, 5.0);
  Model_SetObjectiveLinear(f.model, e, VELORIUM_MAXIMIZE);
  CHECK(Model_GetErrorCode(f.model) == 0 && Model_GetObjectiveSense(f.model) == VELORIUM_MAXIMIZE,
        "a linear objective, maximised");
  CHECK(LinearExpression_GetTermCoeff(objective, 0) == 3.0 && LinearExpression_GetConstant(objective) == 5.0,
        "a view taken before shows the new objective");
  Model_SetObjectiveOffset(f.model, 7.0);
  CHECK(LinearExpression_GetConstant(objective) == 7.0, "the offset is the objective's constant");

  LinearExpression_AddTerm(objective, f.s, 4.0);
  again = Model_GetObjective(f.model);
  CHECK(LinearExpression_GetTermsCount(again) == 3, "a term added through a view is in the model");
  CHECK(Model_IsNonlinear(f.model) == 0, "a linear model is not nonlinear");

  QuadExpression_AddTerm(q, f.x, f.z, 0.5);
  Model_SetObjectiveQuad(f.model, q, 5);
  CHECK(Model_GetErrorCode(f.model) == -1 && LinearExpression_GetTermsCount(again) == 3,
        "a sense out of range is refused and the objective stays");
  Model_SetObjectiveQuad(f.model, q, VELORIUM_MAXIMIZE);
  quad_objective = Model_GetQuadObjective(f.model);
  CHECK(QuadExpression_GetTermsCount(quad_objective) == 1, "a quadratic objective");
  CHECK(Model_GetObjectiveSense(f.model) == VELORIUM_MAXIMIZE, "maximised");
  CHECK(Model_IsNonlinear(f.model) == 1, "a quadratic objective makes the model nonlinear");

  Model_ClearObjective(f.model);
  CHECK(LinearExpression_GetTermsCount(again) == 0 && QuadExpression_GetTermsCount(quad_objective) == 0 &&
            LinearExpression_GetConstant(again) == 0.0,
        "clearing removes the terms and the constant");
  CHECK(Model_GetObjectiveSense(f.model) == VELORIUM_MAXIMIZE, "and keeps the sense");
  Model_SetObjectiveSense(f.model, VELORIUM_MINIMIZE);
  CHECK(Model_GetObjectiveSense(f.model) == VELORIUM_MINIMIZE, "minimise again");

  QuadExpression_Release(quad_objective);
  QuadExpression_Release(q);
  LinearExpression_Release(again);
  LinearExpression_Release(objective);
  LinearExpression_Release(e);
  fixture_release(&f);
}

static void removed_and_cleared_members_report_it_on_their_handles(void) {
  Fixture f = fixture_make();
  Fixture other = fixture_make();
  VeloriumLinearExpression* e = linear_of(f.x, 1.0, f.s, 1.0);
  VeloriumConstraint* row = Model_AddConstraintLinear1(f.model, e, VELORIUM_EQUAL, 3.0, "row");
  VeloriumVariable* first;

  Model_RemoveVar(f.model, other.x);
  CHECK(Model_GetErrorCode(f.model) == -1, "a variable of another model is not removed");
  CHECK_TEXT(Model_GetErrorText(f.model), "Переменная не принадлежит модели", "and says why");
  CHECK(Model_GetVariablesCount(other.model) == 4, "from either model");

  Model_RemoveVar(f.model, f.s);
  CHECK(Model_GetErrorCode(f.model) == 0 && Model_GetVariablesCount(f.model) == 3,
        "a variable removed");
  CHECK(Model_IsMip(f.model) == 1, "the model stays a MIP");
  CHECK(Variable_GetName(f.s) == NULL && Variable_GetErrorCode(f.s) == -1,
        "its handle reports the removal");
  CHECK_TEXT(Variable_GetErrorText(f.s), "Объект с индексом [3] удален", "with its index");
  first = Model_GetVariable(f.model, 2);
  CHECK_TEXT(Variable_GetName(first), "z", "the positions close up");
  Variable_Release(first);

  Model_Clear(f.model);
  CHECK(Model_GetVariablesCount(f.model) == 0 && Model_GetConstraintsCount(f.model) == 0,
        "a cleared model is empty");
  CHECK(Variable_GetUpperBound(f.x) == 0.0 && Variable_GetErrorCode(f.x) == -1,
        "handles taken before report their member removed");
  CHECK_TEXT(Variable_GetErrorText(f.x), "Объект с индексом [0] удален", "with its index");
  CHECK(Constraint_GetName(row) == NULL && Constraint_GetErrorCode(row) == -1, "rows as well");
  CHECK_TEXT(Constraint_GetErrorText(row), "Объект с индексом [0] удален", "with their index");
  first = Model_AddVariable(f.model, 0.0, 1.0, 0.0, VELORIUM_CONTINUOUS, "fresh");
  CHECK(Model_GetVariablesCount(f.model) == 1, "the cleared model takes new members");
  CHECK(Variable_GetErrorCode(f.x) == -1, "while old handles stay dead");

  Variable_Release(first);
  Constraint_Release(row);
  LinearExpression_Release(e);
  fixture_release(&other);
  fixture_release(&f);
}

/* Handles keep the model's data alive: a view used after its model was released still works. */
static void views_outlive_their_model(void) {
  VeloriumModel* model = Model_Create();
  VeloriumVariable* x = Model_AddVariable(model, 0.0, 3.0, 0.0, VELORIUM_CONTINUOUS, "x");
  VeloriumLinearExpression* objective = Model_GetObjective(model);
  Model_Release(model);
  CHECK_TEXT(Variable_GetName(x), "x", "a variable handle after its model is released");
  LinearExpression_AddTerm(objective, x, 2.0);
  CHECK(LinearExpression_GetTermsCount(objective) == 1, "an objective view too");
  LinearExpression_Release(objective);
  Variable_Release(x);
}

int main(void) {
  variables_keep_bounds_types_and_names();
  failed_lookups_give_handles_that_refer_to_nothing();
  expressions_hold_terms_and_copies_are_independent();
  rows_come_from_linear_and_quadratic_expressions();
  the_objective_is_set_read_and_changed_through_its_views();
  removed_and_cleared_members_report_it_on_their_handles();
  views_outlive_their_model();
  return c_check_summary();
}
