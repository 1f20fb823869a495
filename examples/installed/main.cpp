// Uses an installed Velorium through both public headers: a model built through the object
// interface, read through the function interface.
#include <cstdio>

#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

int main() {
  velorium::IModel* model = CreateModel();
  if (model == nullptr) {
    std::puts("velorium: no model");
    return 1;
  }
  velorium::IVariable* x = model->AddVariable(0.0, Velorium_Inf(), 1.0, velorium::variable_type::continuous, "x");
  const int ok = model->GetErrorCode() == 0 && Model_GetVariablesCount(model) == 1;
  x->Release();
  Model_Release(model);
  std::puts(ok ? "velorium: the installed library answers" : "velorium: the installed library fails");
  return ok ? 0 : 1;
}
