/* Creates a model and a variable and releases neither. Run under the
 * sanitizer, it must be reported as a leak: that shows that the C test programs run with the
 * sanitizer's runtime and leak detection, and that it sees what the shared library allocates. */
#include <stdio.h>

#include "velorium/velorium.h"

int main(void) {
  VeloriumModel* model = Model_Create();
  VeloriumVariable* x = Model_AddVariable(model, 0.0, 1.0, 0.0, VELORIUM_CONTINUOUS, "x");
  printf("left a model with %d variable unreleased\n", Model_GetVariablesCount(model));
  (void)x;
  return 0;
}
