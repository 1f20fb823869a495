/* Checks for the C programs that drive the function interface: every check is counted, a failed
 * one says where it stands and what it saw, and c_check_summary prints the closing
 * "N passed, N failed" line and gives the program's exit status. One program includes this once.
 */
#ifndef VELORIUM_TESTS_CAPI_C_CHECK_H
#define VELORIUM_TESTS_CAPI_C_CHECK_H

#include <stdio.h>
#include <string.h>

static int c_check_passed_count;
static int c_check_failed_count;

static inline int c_check_at(int condition, const char* what, const char* file, int line) {
  if (condition) {
    ++c_check_passed_count;
  } else {
    ++c_check_failed_count;
    printf("FAILED %s:%d: %s\n", file, line, what);
  }
  return condition;
}

/* Texts compare equal when both are null or both hold the same characters. */
static inline int c_check_text_at(const char* actual, const char* expected, const char* what,
                                  const char* file, int line) {
  const int same = (actual == NULL || expected == NULL) ? actual == expected
                                                        : strcmp(actual, expected) == 0;
  if (!c_check_at(same, what, file, line)) {
    printf("  got      \"%s\"\n  expected \"%s\"\n", actual ? actual : "(null)",
           expected ? expected : "(null)");
  }
  return same;
}

static inline int c_check_contains_at(const char* text, const char* part, const char* what,
                                      const char* file, int line) {
  const int found = text != NULL && strstr(text, part) != NULL;
  if (!c_check_at(found, what, file, line)) {
    printf("  \"%s\" does not contain \"%s\"\n", text ? text : "(null)", part);
  }
  return found;
}

#define CHECK(condition, what) c_check_at((condition) != 0, (what), __FILE__, __LINE__)
#define CHECK_TEXT(actual, expected, what) \
  c_check_text_at((actual), (expected), (what), __FILE__, __LINE__)
#define CHECK_CONTAINS(text, part, what) \
  c_check_contains_at((text), (part), (what), __FILE__, __LINE__)

/* Prints the closing line; 0 when every check passed. */
static inline int c_check_summary(void) {
  printf("%d passed, %d failed\n", c_check_passed_count, c_check_failed_count);
  return c_check_failed_count == 0 && c_check_passed_count > 0 ? 0 : 1;
}

#endif /* VELORIUM_TESTS_CAPI_C_CHECK_H */
