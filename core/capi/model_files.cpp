// The function interface's operations that write the model under its own names, with no
// name-mapping file, where the object interface's operation takes one: the format writers
// (Model_Write passes it on) and the asynchronous remote solve.
#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

extern "C" {

void Model_WriteMps(VeloriumModel* model, const char* file_name) { model->WriteMps(file_name, ""); }

void Model_WriteLp(VeloriumModel* model, const char* file_name) { model->WriteLp(file_name, ""); }

void Model_SolveRemoteAsync(VeloriumModel* model) { model->SolveRemoteAsync(""); }

}  // extern "C"
