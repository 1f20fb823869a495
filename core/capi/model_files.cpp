// The function interface's format writers: the model's own names, no name-mapping file (the
// object interface's WriteMps and WriteLp take one; Model_Write passes it on).
#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

extern "C" {

void Model_WriteMps(VeloriumModel* model, const char* file_name) { model->WriteMps(file_name, ""); }

void Model_WriteLp(VeloriumModel* model, const char* file_name) { model->WriteLp(file_name, ""); }

}  // extern "C"
