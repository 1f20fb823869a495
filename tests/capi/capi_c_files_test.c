/* Model files from C: a model with integer, bounded and unbounded variables, linear, ranged and
 * quadratic rows and a general constraint is written as LP and as MPS, read back into new models
 * through each reading function, and compared member by member. Files that cannot be read or
 * written are reported and change nothing. */
#include <errno.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "c_check.h"
#include "c_scratch_dir.h"
#include "velorium/velorium.h"

/*   maximize 3 x + 2 y - z
 *   cap:  x + y + z <= 10
 *   band: 1 <= x - y <= 4
 *   ball: x^2 + y^2 <= 25
 *   g_exp: w = exp(x)
 *   x integer in [0, 8], y in [0, 6], z in [0, inf), w free */
static VeloriumModel* build_model(void) {
  VeloriumModel* model = Model_Create();
  VeloriumVariable* x = Model_AddVariable(model, 0.0, 8.0, 3.0, VELORIUM_INTEGER, "x");
  VeloriumVariable* y = Model_AddVariable(model, 0.0, 6.0, 2.0, VELORIUM_CONTINUOUS, "y");
  VeloriumVariable* z = Model_AddVariable(model, 0.0, Velorium_Inf(), -1.0, VELORIUM_CONTINUOUS, "z");
  VeloriumVariable* w = Model_AddVariable(model, -Velorium_Inf(), Velorium_Inf(), 0.0,
                                          VELORIUM_CONTINUOUS, "w");
  VeloriumLinearExpression* total = LinearExpression_Create();
  VeloriumLinearExpression* difference = LinearExpression_Create();
  VeloriumQuadExpression* squares = QuadExpression_Create();
  VeloriumGeneralExpression* vx = GeneralExpression_CreateFromVariable(x);
  VeloriumGeneralExpression* exp_x = GeneralExpression_CreateUnary(VELORIUM_EXPR_EXP, vx);

  Model_SetName(model, "files_model");
  LinearExpression_AddTerm(total, x, 1.0);
  LinearExpression_AddTerm(total, y, 1.0);
  LinearExpression_AddTerm(total, z, 1.0);
  Constraint_Release(Model_AddConstraintLinear1(model, total, VELORIUM_LESS_EQUAL, 10.0, "cap"));
  LinearExpression_AddTerm(difference, x, 1.0);
  LinearExpression_AddTerm(difference, y, -1.0);
  Constraint_Release(Model_AddConstraintLinear2(model, difference, 1.0, 4.0, "band"));
  QuadExpression_AddTerm(squares, x, x, 1.0);
  QuadExpression_AddTerm(squares, y, y, 1.0);
  Constraint_Release(Model_AddConstraintQuad1(model, squares, VELORIUM_LESS_EQUAL, 25.0, "ball"));
  GeneralConstraint_Release(Model_AddGeneralConstraint(model, exp_x, w, "g_exp"));
  Model_SetObjectiveSense(model, VELORIUM_MAXIMIZE);

  GeneralExpression_Release(exp_x);
  GeneralExpression_Release(vx);
  QuadExpression_Release(squares);
  LinearExpression_Release(difference);
  LinearExpression_Release(total);
  Variable_Release(w);
  Variable_Release(z);
  Variable_Release(y);
  Variable_Release(x);
  return model;
}

/* Checks the row at a position of the read model: its name and bounds. */
static void check_read_row(VeloriumModel* read, int position, const char* name, double lower,
                           double upper, const char* what) {
  VeloriumConstraint* row = Model_GetConstraint(read, position);
  CHECK_TEXT(Constraint_GetName(row), name, what);
  CHECK(Constraint_GetLowerBound(row) == lower && Constraint_GetUpperBound(row) == upper, what);
  Constraint_Release(row);
}

/* Compares what was read with what was written: per position the names, types and bounds of the
 * variables and the names and bounds of the rows. The LP format has no ranged rows: a row with
 * two finite bounds comes back as two rows of the same name, its upper side first. */
static void check_same_model(VeloriumModel* written, VeloriumModel* read, int ranges_split,
                             const char* how) {
  const double inf = Velorium_Inf();
  char what[200];
  int i;
  int position = 0;
  snprintf(what, sizeof what, "%s: no error", how);
  if (!CHECK(Model_GetErrorCode(read) == 0, what)) printf("  %s\n", Model_GetErrorText(read));
  snprintf(what, sizeof what, "%s: as many variables and general constraints", how);
  if (!CHECK(Model_GetVariablesCount(read) == Model_GetVariablesCount(written) &&
                 Model_GetGeneralConstraintsCount(read) == Model_GetGeneralConstraintsCount(written),
             what)) {
    return;
  }
  for (i = 0; i < Model_GetVariablesCount(written); ++i) {
    VeloriumVariable* a = Model_GetVariable(written, i);
    VeloriumVariable* b = Model_GetVariable(read, i);
    snprintf(what, sizeof what, "%s: variable %d (%s)", how, i, Variable_GetName(a));
    CHECK_TEXT(Variable_GetName(b), Variable_GetName(a), what);
    CHECK(Variable_GetType(b) == Variable_GetType(a) &&
              Variable_GetLowerBound(b) == Variable_GetLowerBound(a) &&
              Variable_GetUpperBound(b) == Variable_GetUpperBound(a),
          what);
    Variable_Release(b);
    Variable_Release(a);
  }
  for (i = 0; i < Model_GetConstraintsCount(written); ++i) {
    VeloriumConstraint* a = Model_GetConstraint(written, i);
    const double lower = Constraint_GetLowerBound(a);
    const double upper = Constraint_GetUpperBound(a);
    snprintf(what, sizeof what, "%s: row %d (%s)", how, i, Constraint_GetName(a));
    if (ranges_split && lower != upper && !isinf(lower) && !isinf(upper)) {
      check_read_row(read, position++, Constraint_GetName(a), -inf, upper, what);
      check_read_row(read, position++, Constraint_GetName(a), lower, inf, what);
    } else {
      check_read_row(read, position++, Constraint_GetName(a), lower, upper, what);
    }
    Constraint_Release(a);
  }
  snprintf(what, sizeof what, "%s: no further rows", how);
  CHECK(Model_GetConstraintsCount(read) == position, what);
  snprintf(what, sizeof what, "%s: the same objective sense, and still nonlinear", how);
  CHECK(Model_GetObjectiveSense(read) == Model_GetObjectiveSense(written) && Model_IsNonlinear(read) == 1,
        what);
}

typedef struct {
  const char* file;
  void (*write)(VeloriumModel*, const char*);
  void (*read)(VeloriumModel*, const char*);
  int ranges_split;
  const char* how;
} RoundTrip;

static void models_go_through_lp_and_mps_files(const ScratchDir* dir) {
  const RoundTrip trips[] = {
      {"model.lp", Model_WriteLp, Model_ReadLp, 1, "LP written and read as LP"},
      {"model.mps", Model_WriteMps, Model_ReadMps, 0, "MPS written and read as MPS"},
      {"by_extension.lp", Model_WriteLp, Model_Read, 1, "LP read by its extension"},
      {"by_extension.mps", Model_WriteMps, Model_Read, 0, "MPS read by its extension"},
  };
  VeloriumModel* model = build_model();
  char path[600];
  size_t t;

  for (t = 0; t < sizeof trips / sizeof trips[0]; ++t) {
    VeloriumModel* copy = Model_Create();
    scratch_dir_file(dir, trips[t].file, path, sizeof path);
    trips[t].write(model, path);
    CHECK(Model_GetErrorCode(model) == 0 && scratch_dir_has_file(dir, trips[t].file), trips[t].how);
    trips[t].read(copy, path);
    check_same_model(model, copy, trips[t].ranges_split, trips[t].how);
    Model_Release(copy);
  }
  Model_Release(model);
}

static void a_name_map_file_goes_with_generated_names(const ScratchDir* dir) {
  VeloriumModel* model = build_model();
  VeloriumModel* copy = Model_Create();
  char path[600];
  char map_path[600];
  char content[8192];

  scratch_dir_file(dir, "mapped.mps", path, sizeof path);
  scratch_dir_file(dir, "names.map", map_path, sizeof map_path);
  Model_Write(model, path, map_path);
  CHECK(Model_GetErrorCode(model) == 0 && scratch_dir_has_file(dir, "names.map"),
        "Model_Write with a name-mapping file writes the map");
  CHECK(scratch_dir_read_file(dir, "mapped.mps", content, sizeof content) > 0 &&
            strstr(content, " cap") == NULL,
        "and the model file carries generated names");
  CHECK(scratch_dir_read_file(dir, "names.map", content, sizeof content) > 0 &&
            strstr(content, "cap") != NULL,
        "the map names the model's own ones");
  Model_ReadMps(copy, path);
  CHECK(Model_GetErrorCode(copy) == 0 && Model_GetVariablesCount(copy) == 4 &&
            Model_GetConstraintsCount(copy) == 3,
        "the mapped file reads as a model of the same size");
  Model_Release(copy);
  Model_Release(model);
}

static void files_that_fail_leave_the_models_alone(const ScratchDir* dir) {
  VeloriumModel* model = build_model();
  VeloriumVariable* x = Model_GetVariable(model, 0);
  char path[600];
  char expected[1600];

  scratch_dir_file(dir, "missing.lp", path, sizeof path);
  Model_ReadLp(model, path);
  snprintf(expected, sizeof expected, "Невозможно прочитать файл [%s]: Невозможно открыть файл %s: %s", path, path,
           strerror(ENOENT));
  CHECK(Model_GetErrorCode(model) == -1, "a file that does not exist is not read");
  CHECK_TEXT(Model_GetErrorText(model), expected, "the error names the file and says why");
  CHECK(Model_GetVariablesCount(model) == 4 && Model_GetConstraintsCount(model) == 3,
        "the model keeps its members");
  CHECK_TEXT(Variable_GetName(x), "x", "and handles taken before still work");

  scratch_dir_file(dir, "no_folder/model.lp", path, sizeof path);
  Model_WriteLp(model, path);
  snprintf(expected, sizeof expected, "Невозможно записать файл [%s]: Невозможно открыть файл %s: %s", path, path,
           strerror(ENOENT));
  CHECK(Model_GetErrorCode(model) == -1, "a file in a folder that does not exist is not written");
  CHECK_TEXT(Model_GetErrorText(model), expected, "the error names the file and says why");

  scratch_dir_file(dir, "model.lp", path, sizeof path);
  Model_WriteLp(model, path);
  Model_ReadLp(model, path);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetVariablesCount(model) == 4,
        "a model reads its own file");
  CHECK(Variable_GetName(x) == NULL && Variable_GetErrorCode(x) == -1,
        "after a successful read, handles on the old members report them removed");

  Variable_Release(x);
  Model_Release(model);
}

int main(void) {
  ScratchDir dir;
  if (!CHECK(scratch_dir_make(&dir), "a scratch folder")) return c_check_summary();
  models_go_through_lp_and_mps_files(&dir);
  a_name_map_file_goes_with_generated_names(&dir);
  files_that_fail_leave_the_models_alone(&dir);
  scratch_dir_remove(&dir);
  return c_check_summary();
}
