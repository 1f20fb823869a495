/* Solving from C: this version has no local calculation engine, so a local solve and a local
 * IIS computation end with the model's error holding the fixed message, return no result and
 * leave the model as it was. */
#include <stdio.h>
#include <string.h>

#include "c_check.h"
#include "velorium/velorium.h"

static const char* const kNoLocalSolve = "Локальное решение моделей не предусмотрено в данной версии.";

static void local_solving_is_not_provided(void) {
  VeloriumModel* empty = Model_Create();
  VeloriumModel* model = Model_Create();
  VeloriumVariable* x = Model_AddVariable(model, 0.0, 4.0, 1.0, VELORIUM_INTEGER, "x");
  VeloriumSolveResult* result;
  VeloriumComputeIisResult* iis;

  CHECK_TEXT(Model_GetCalcUID(model), "", "no remote calculation yet");
  Model_AddMipStartValue(model, x, 2.0);
  Model_AddMipStartValueByName(model, "x", 3.0);
  CHECK(Model_GetErrorCode(model) == 0, "start values by variable and by name");
  Model_AddMipStartValues(model, "/no/such/start.sol");
  CHECK(Model_GetErrorCode(model) == -1, "a start file that is not there is reported");
  CHECK_TEXT(Model_GetErrorText(model), "Невозможно прочитать файл [/no/such/start.sol]",
             "with its name");

  result = Model_Solve(empty);
  CHECK(result == NULL && Model_GetErrorCode(empty) == -1, "an empty model is not solved");
  CHECK_TEXT(Model_GetErrorText(empty), kNoLocalSolve, "the fixed message says why");

  result = Model_Solve(model);
  CHECK(result == NULL && Model_GetErrorCode(model) == -1, "nor is a model with members");
  CHECK_TEXT(Model_GetErrorText(model), kNoLocalSolve, "with the same message");
  iis = Model_ComputeIis(model);
  CHECK(iis == NULL && Model_GetErrorCode(model) == -1, "an IIS is not computed either");
  CHECK_TEXT(Model_GetErrorText(model), kNoLocalSolve, "with the same message");
  CHECK_TEXT(Model_GetStringParam(model, "called_method"), "solve",
             "the IIS attempt leaves the model's own options alone");

  CHECK(Model_GetVariablesCount(model) == 1 && Model_GetErrorCode(model) == 0,
        "the model is unchanged and usable");
  CHECK_TEXT(Variable_GetName(x), "x", "so are its handles");

  Variable_Release(x);
  Model_Release(model);
  Model_Release(empty);
}

int main(void) {
  local_solving_is_not_provided();
  return c_check_summary();
}
