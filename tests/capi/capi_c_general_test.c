/* General expressions and general constraints from C: trees built from variables, constants and
 * functions, a general constraint y = exp(x) in a model, its views, copies and removal. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "c_check.h"
#include "velorium/velorium.h"

static void expression_trees_are_built_node_by_node(void) {
  VeloriumModel* model = Model_Create();
  VeloriumVariable* x = Model_AddVariable(model, 0.0, 2.0, 0.0, VELORIUM_CONTINUOUS, "x");
  VeloriumGeneralExpression* vx = GeneralExpression_CreateFromVariable(x);
  VeloriumGeneralExpression* two = GeneralExpression_CreateFromConstant(2.0);
  VeloriumGeneralExpression* power = GeneralExpression_CreateBinary(VELORIUM_EXPR_POW, vx, two);
  VeloriumGeneralExpression* sum = GeneralExpression_Create(VELORIUM_EXPR_PLUS);
  VeloriumGeneralExpression* wrong_arity = GeneralExpression_CreateUnary(VELORIUM_EXPR_POW, vx);
  VeloriumGeneralExpression* no_empty_exp = GeneralExpression_Create(VELORIUM_EXPR_EXP);
  VeloriumGeneralExpression* child;
  VeloriumGeneralExpression* missing;
  VeloriumVariable* of_node;
  VeloriumLinearExpression* linear = LinearExpression_Create();
  VeloriumGeneralExpression* from_linear;

  CHECK(GeneralExpression_GetType(power) == VELORIUM_EXPR_POW && GeneralExpression_GetArity(power) == 2 &&
            GeneralExpression_GetExprCount(power) == 2,
        "x ^ 2: a binary node with two children");
  child = GeneralExpression_GetExpr(power, 1);
  CHECK(GeneralExpression_GetType(child) == VELORIUM_EXPR_CONSTANT && GeneralExpression_GetConstant(child) == 2.0,
        "its exponent");
  GeneralExpression_Release(child);
  child = GeneralExpression_GetExpr(power, 0);
  of_node = GeneralExpression_GetVariable(child);
  CHECK_TEXT(Variable_GetName(of_node), "x", "its base is the variable x");

  GeneralExpression_AddExpr(sum, power);
  GeneralExpression_AddExpr(sum, two);
  GeneralExpression_AddExpr(sum, vx);
  CHECK(GeneralExpression_GetArity(sum) == -1 && GeneralExpression_GetExprCount(sum) == 3,
        "a plus node takes any number of children");
  GeneralExpression_RemoveExpr(sum, 1);
  CHECK(GeneralExpression_GetExprCount(sum) == 2, "and gives one up");
  missing = GeneralExpression_GetExpr(sum, 9);
  CHECK(missing == NULL && GeneralExpression_GetErrorCode(sum) == -1 &&
            GeneralExpression_GetErrorText(sum)[0] != '\0',
        "a child past the end: null and the error in the node");

  CHECK(wrong_arity == NULL, "a unary node of a binary type is refused");
  CHECK(no_empty_exp == NULL, "an empty node only for constants, plus and multiply");

  LinearExpression_AddTerm(linear, x, 3.0);
  LinearExpression_SetConstant(linear, 1.0);
  from_linear = GeneralExpression_CreateFromLinear(linear);
  CHECK(from_linear != NULL && GeneralExpression_GetErrorCode(from_linear) == 0,
        "a tree from a linear expression");

  GeneralExpression_Release(from_linear);
  LinearExpression_Release(linear);
  Variable_Release(of_node);
  GeneralExpression_Release(child);
  GeneralExpression_Release(sum);
  GeneralExpression_Release(power);
  GeneralExpression_Release(two);
  GeneralExpression_Release(vx);
  Variable_Release(x);
  Model_Release(model);
}

static void a_general_constraint_binds_a_tree_to_a_variable(void) {
  VeloriumModel* model = Model_Create();
  VeloriumVariable* x = Model_AddVariable(model, 0.0, 2.0, 1.0, VELORIUM_CONTINUOUS, "x");
  VeloriumVariable* y = Model_AddVariable(model, -Velorium_Inf(), Velorium_Inf(), 0.0,
                                          VELORIUM_CONTINUOUS, "y");
  VeloriumGeneralExpression* vx = GeneralExpression_CreateFromVariable(x);
  VeloriumGeneralExpression* exp_x = GeneralExpression_CreateUnary(VELORIUM_EXPR_EXP, vx);
  VeloriumGeneralExpression* half = GeneralExpression_CreateFromConstant(0.5);
  VeloriumGeneralConstraint* gc;
  VeloriumGeneralConstraint* again;
  VeloriumGeneralConstraint* missing;
  VeloriumGeneralExpression* tree;
  VeloriumGeneralExpression* argument;
  VeloriumVariable* result;

  CHECK(Model_IsNonlinear(model) == 0, "no general constraint yet: a linear model");
  gc = Model_AddGeneralConstraint(model, exp_x, y, "g_exp");
  CHECK(gc != NULL && Model_GetErrorCode(model) == 0, "y = exp(x) added");
  CHECK(Model_GetGeneralConstraintsCount(model) == 1 && Model_IsNonlinear(model) == 1,
        "the model counts it and is nonlinear");
  CHECK_TEXT(GeneralConstraint_GetName(gc), "g_exp", "its name");
  result = GeneralConstraint_GetVariable(gc);
  CHECK_TEXT(Variable_GetName(result), "y", "its result variable");

  tree = GeneralConstraint_GetExpression(gc);
  CHECK(GeneralExpression_GetType(tree) == VELORIUM_EXPR_EXP && GeneralExpression_GetExprCount(tree) == 1,
        "its tree is exp of one child");
  GeneralExpression_SetExpr(exp_x, 0, half);
  argument = GeneralExpression_GetExpr(tree, 0);
  CHECK(GeneralExpression_GetType(argument) == VELORIUM_EXPR_VARIABLE,
        "the model holds a copy: changing the caller's tree changes nothing");
  GeneralExpression_Release(argument);

  GeneralExpression_SetExpr(tree, 0, half);
  again = Model_GetGeneralConstraintByName(model, "g_exp");
  GeneralExpression_Release(tree);
  tree = GeneralConstraint_GetExpression(again);
  argument = GeneralExpression_GetExpr(tree, 0);
  CHECK(GeneralExpression_GetType(argument) == VELORIUM_EXPR_CONSTANT && GeneralExpression_GetConstant(argument) == 0.5,
        "a change through the view of the tree reaches every holder");

  missing = Model_GetGeneralConstraint(model, 5);
  CHECK(missing == NULL && Model_GetErrorCode(model) == -1, "an index past the end: null");
  CHECK_CONTAINS(Model_GetErrorText(model), "5", "the error names the index");
  missing = Model_GetGeneralConstraintByName(model, "nope");
  CHECK(missing == NULL && Model_GetErrorCode(model) == -1, "an unknown name: null");
  CHECK_CONTAINS(Model_GetErrorText(model), "nope", "the error names it");

  GeneralExpression_Release(argument);
  GeneralExpression_Release(tree);
  Variable_Release(result);
  GeneralConstraint_Release(again);
  GeneralConstraint_Release(gc);
  GeneralExpression_Release(half);
  GeneralExpression_Release(exp_x);
  GeneralExpression_Release(vx);
  Variable_Release(y);
  Variable_Release(x);
  Model_Release(model);
}

static void free_general_constraints_are_added_as_copies(void) {
  VeloriumModel* model = Model_Create();
  VeloriumModel* other = Model_Create();
  VeloriumVariable* x = Model_AddVariable(model, 1.0, 2.0, 0.0, VELORIUM_CONTINUOUS, "x");
  VeloriumVariable* y = Model_AddVariable(model, 0.0, 9.0, 0.0, VELORIUM_CONTINUOUS, "y");
  VeloriumVariable* w = Model_AddVariable(other, 0.0, 9.0, 0.0, VELORIUM_CONTINUOUS, "w");
  VeloriumGeneralExpression* vx = GeneralExpression_CreateFromVariable(x);
  VeloriumGeneralExpression* log_x = GeneralExpression_CreateUnary(VELORIUM_EXPR_LOG, vx);
  VeloriumGeneralExpression* three = GeneralExpression_CreateFromConstant(3.0);
  VeloriumGeneralConstraint* free_gc = GeneralConstraint_Create(log_x, y, NULL);
  VeloriumGeneralConstraint* mixed = GeneralConstraint_Create(log_x, w, "mixed");
  VeloriumGeneralConstraint* foreign = GeneralConstraint_Create(three, w, "foreign");
  VeloriumGeneralConstraint* first;

  CHECK(free_gc != NULL, "a free general constraint y = log(x)");
  CHECK_TEXT(GeneralConstraint_GetName(free_gc), "", "without a name its name is empty");
  CHECK(mixed == NULL, "a tree of one model with a result variable of another is refused");
  CHECK(Model_GetGeneralConstraintsCount(model) == 0, "a free one is in no model");

  Model_AddGeneralConstraintObject(model, free_gc);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetGeneralConstraintsCount(model) == 1,
        "added to the model of its variables");
  Model_AddGeneralConstraintObject(model, foreign);
  CHECK(Model_GetErrorCode(model) == -1, "one on another model's variable is refused");
  CHECK_TEXT(Model_GetErrorText(model), "Невозможно добавить выражение из другой модели",
             "and says why");
  CHECK(Model_GetGeneralConstraintsCount(model) == 1, "and not added");

  first = Model_GetGeneralConstraint(model, 0);
  Model_AddGeneralConstraintObject(model, first);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetGeneralConstraintsCount(model) == 2,
        "one of the model's own is added again as a copy");

  Model_RemoveGeneralConstraint(model, first);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetGeneralConstraintsCount(model) == 1,
        "removed through the model");

  GeneralConstraint_Release(first);
  GeneralConstraint_Release(foreign);
  GeneralConstraint_Release(free_gc);
  GeneralExpression_Release(three);
  GeneralExpression_Release(log_x);
  GeneralExpression_Release(vx);
  Variable_Release(w);
  Variable_Release(y);
  Variable_Release(x);
  Model_Release(other);
  Model_Release(model);
}

int main(void) {
  expression_trees_are_built_node_by_node();
  a_general_constraint_binds_a_tree_to_a_variable();
  free_general_constraints_are_added_as_copies();
  return c_check_summary();
}
