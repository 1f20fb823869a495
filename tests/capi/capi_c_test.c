/* The function interface as a C program sees it: velorium.h compiles as strict C, and the
 * shared library links and answers. Calls that need a model come with the model itself. */
#include <float.h>
#include <math.h>
#include <stdio.h>

#include "velorium/velorium.h"

static int failures = 0;
static int passes = 0;

static void check(int condition, const char* what) {
  if (condition) {
    ++passes;
  } else {
    ++failures;
    printf("FAILED: %s\n", what);
  }
}

int main(void) {
  const double inf = Velorium_Inf();
  check(inf > DBL_MAX, "Velorium_Inf is greater than every finite double");
  check(isinf(inf) && inf > 0, "Velorium_Inf is positive infinity");
  check(-inf < -DBL_MAX, "minus Velorium_Inf is below every finite double");

  /* The enumeration values that travel as int. */
  check(VELORIUM_LESS_EQUAL == 1 && VELORIUM_GREATER_EQUAL == 2, "constraint senses");
  check(VELORIUM_MAXIMIZE == 1, "objective senses");
  check(VELORIUM_SEMIINTEGER == 4, "variable types");
  check(VELORIUM_IMPRECISE == 6 && VELORIUM_REMOTE_FAIL == 6, "statuses and results");
  check(VELORIUM_EXPR_SIGNPOW == 18, "general expression types");

  printf("%d passed, %d failed\n", passes, failures);
  return failures == 0 ? 0 : 1;
}
