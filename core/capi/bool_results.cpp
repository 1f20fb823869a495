// Functions of the function interface that turn the object interface's bool into int and back.
#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

extern "C" {

int Model_GetBoolParam(VeloriumModel* model, const char* param_name) {
  return model->GetBoolParam(param_name) ? 1 : 0;
}

void Model_SetBoolParam(VeloriumModel* model, const char* param_name, int param_value) {
  model->SetBoolParam(param_name, param_value != 0);
}

int Model_IsMip(VeloriumModel* model) { return model->IsMip() ? 1 : 0; }

int Model_IsNonlinear(VeloriumModel* model) { return model->IsNonlinear() ? 1 : 0; }

int ComputeIisResult_GetMinimal(VeloriumComputeIisResult* result) {
  return result->GetMinimal() ? 1 : 0;
}

}  // extern "C"
