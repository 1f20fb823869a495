/* Creates a model and a variable and releases neither. Run under the sanitizer, it must be
 * reported as a leak: that shows that the C test programs run with the sanitizer's runtime and
 * leak detection, and that it sees what the shared library allocates. */
#include <stdio.h>

#include "velorium/velorium.h"

/* The last pointers to both objects are wiped, so that nothing on the stack still reaches them
 * when the leak check runs at exit. */
static void leave_a_model_behind(void) {
  VeloriumModel* volatile model = Model_Create();
  VeloriumVariable* volatile x = Model_AddVariable(model, 0.0, 1.0, 0.0, VELORIUM_CONTINUOUS, "x");
  printf("left the model \"%s\" with its variable %s unreleased\n", Model_GetName(model),
         Variable_GetName(x));
  fflush(stdout); /* the leak report ends the process without flushing */
  x = NULL;
  model = NULL;
}

int main(void) {
  leave_a_model_behind();
  return 0;
}
