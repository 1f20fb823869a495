/* Parameters and logging of a model from C: options of every type set and read by name, the
 * errors for unknown names, wrong types and rejected values, the log function and its
 * replacement, and the log file. */
#include <stdio.h>
#include <string.h>

#include "c_check.h"
#include "c_scratch_dir.h"
#include "velorium/velorium.h"

static void options_of_every_type_are_set_and_read(void) {
  VeloriumModel* model = Model_Create();

  Model_SetIntParam(model, "threads", 4);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetIntParam(model, "threads") == 4, "an int option");
  Model_SetDblParam(model, "time_limit", 12.5);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetDblParam(model, "time_limit") == 12.5,
        "a double option");
  Model_SetStringParam(model, "presolve", "off");
  CHECK_TEXT(Model_GetStringParam(model, "presolve"), "off", "a text option");
  Model_SetBoolParam(model, "log_display_systime", 2);
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetBoolParam(model, "log_display_systime") == 1,
        "any non-zero value sets a bool option, which then reads exactly 1");
  Model_SetBoolParam(model, "log_display_systime", 0);
  CHECK(Model_GetBoolParam(model, "log_display_systime") == 0, "and 0 clears it");
  Model_SetStringParam(model, "threads", "6");
  CHECK(Model_GetErrorCode(model) == 0 && Model_GetIntParam(model, "threads") == 6,
        "a number option set from its text");
  Model_Release(model);
}

/* The model's error after one call; the text is copied, as the model's own text changes with
 * the next call. */
typedef struct {
  const char* what;
  int code;
  char text[160];
} Outcome;

static Outcome outcome_of(VeloriumModel* model, const char* what) {
  Outcome outcome;
  outcome.what = what;
  outcome.code = Model_GetErrorCode(model);
  snprintf(outcome.text, sizeof outcome.text, "%s", Model_GetErrorText(model));
  return outcome;
}

static void unknown_names_wrong_types_and_rejected_values_are_errors(void) {
  const char* read_error = "Ошибка получения параметра [no_such_option]";
  const char* change_error = "Ошибка изменения параметра [no_such_option]";
  VeloriumModel* model = Model_Create();
  char what[160];
  Outcome reads[4];
  Outcome changes[4];
  int i;

  CHECK(Model_GetIntParam(model, "no_such_option") == 0, "an unknown int reads 0");
  reads[0] = outcome_of(model, "Model_GetIntParam");
  CHECK(Model_GetDblParam(model, "no_such_option") == 0.0, "an unknown double reads 0");
  reads[1] = outcome_of(model, "Model_GetDblParam");
  CHECK(Model_GetStringParam(model, "no_such_option") == NULL, "an unknown text reads null");
  reads[2] = outcome_of(model, "Model_GetStringParam");
  CHECK(Model_GetBoolParam(model, "no_such_option") == 0, "an unknown bool reads 0");
  reads[3] = outcome_of(model, "Model_GetBoolParam");
  for (i = 0; i < 4; ++i) {
    snprintf(what, sizeof what, "%s of an unknown name", reads[i].what);
    CHECK(reads[i].code == -1, what);
    CHECK_TEXT(reads[i].text, read_error, what);
  }
  Model_SetIntParam(model, "no_such_option", 1);
  changes[0] = outcome_of(model, "Model_SetIntParam");
  Model_SetDblParam(model, "no_such_option", 1.0);
  changes[1] = outcome_of(model, "Model_SetDblParam");
  Model_SetStringParam(model, "no_such_option", "1");
  changes[2] = outcome_of(model, "Model_SetStringParam");
  Model_SetBoolParam(model, "no_such_option", 1);
  changes[3] = outcome_of(model, "Model_SetBoolParam");
  for (i = 0; i < 4; ++i) {
    snprintf(what, sizeof what, "%s of an unknown name", changes[i].what);
    CHECK(changes[i].code == -1, what);
    CHECK_TEXT(changes[i].text, change_error, what);
  }

  Model_SetBoolParam(model, "log_to_console", 0); /* the rejected values below are logged */
  CHECK(Model_GetIntParam(model, "log_to_console") == 0 && Model_GetErrorCode(model) == -1,
        "reading a bool option as an int fails");
  CHECK_TEXT(Model_GetErrorText(model), "Ошибка получения параметра [log_to_console]", "with 408");
  Model_SetDblParam(model, "threads", 2.0);
  CHECK_TEXT(Model_GetErrorText(model), "Ошибка изменения параметра [threads]",
             "setting an int option from a double fails with 409");
  Model_SetIntParam(model, "threads", 3);
  CHECK(Model_GetBoolParam(model, "threads") == 1 && Model_GetErrorCode(model) == 0,
        "an int option reads as a bool: not 0 is true");
  Model_SetIntParam(model, "velorium_debug_level", 9);
  CHECK_TEXT(Model_GetErrorText(model), "Ошибка изменения параметра [velorium_debug_level]",
             "a value above the option's range fails with 409");
  CHECK(Model_GetIntParam(model, "velorium_debug_level") == 0, "and the option keeps its value");
  Model_SetStringParam(model, "presolve", "sometimes");
  CHECK(Model_GetErrorCode(model) == -1, "a text outside the allowed ones fails");
  CHECK_TEXT(Model_GetStringParam(model, "presolve"), "on", "and the option keeps its value");
  Model_Release(model);
}

/* What a log function saw. */
typedef struct {
  int lines;
  char last[512];
} LogRecord;

static void record_line(const char* text, void* user) {
  LogRecord* record = (LogRecord*)user;
  ++record->lines;
  snprintf(record->last, sizeof record->last, "%s", text);
}

/* A logged option failure: the framework logs why the value was rejected. */
static void log_a_line(VeloriumModel* model) { Model_SetIntParam(model, "velorium_debug_level", 9); }

static void a_second_log_function_replaces_the_first(void) {
  VeloriumModel* model = Model_Create();
  VeloriumModel* neighbour = Model_Create();
  LogRecord first = {0, ""};
  LogRecord second = {0, ""};
  LogRecord neighbours = {0, ""};

  Model_SetLogCallbackFn(model, record_line, &first);
  Model_SetLogCallbackFn(neighbour, record_line, &neighbours);
  log_a_line(model);
  CHECK(first.lines > 0, "the function receives the model's log lines");
  CHECK_CONTAINS(first.last, "velorium_debug_level", "the line names the option");
  CHECK(neighbours.lines == 0, "with its own user pointer: another model's function gets nothing");

  first.lines = 0;
  Model_SetLogCallbackFn(model, record_line, &second);
  log_a_line(model);
  CHECK(second.lines > 0, "the second function receives the lines");
  CHECK(first.lines == 0, "the first one no longer does");

  second.lines = 0;
  Model_SetBoolParam(model, "log_to_console", 0);
  Model_SetLogCallbackFn(model, NULL, NULL);
  log_a_line(model);
  CHECK(first.lines == 0 && second.lines == 0, "a null function removes the receiver");
  Model_SetLogCallbackFn(model, NULL, NULL);
  CHECK(Model_GetErrorCode(model) == 0, "removing it twice is harmless");

  /* Released with its function installed: the model's adapter goes with it (a leak otherwise). */
  log_a_line(neighbour);
  CHECK(neighbours.lines > 0, "the other model's function still works");
  Model_Release(neighbour);
  Model_Release(model);
}

static void the_log_file_receives_the_lines(void) {
  ScratchDir dir;
  char path[600];
  char content[4096];
  VeloriumModel* model = Model_Create();

  if (!CHECK(scratch_dir_make(&dir), "a scratch folder")) {
    Model_Release(model);
    return;
  }
  scratch_dir_file(&dir, "model.log", path, sizeof path);
  Model_SetBoolParam(model, "log_to_console", 0);
  Model_SetStringParam(model, "log_file", path);
  CHECK(Model_GetErrorCode(model) == 0, "the log file option opens the file");
  CHECK_TEXT(Model_GetStringParam(model, "log_file"), path, "and reads back as its path");
  log_a_line(model);
  Model_SetLogFile(model, "");
  CHECK_TEXT(Model_GetStringParam(model, "log_file"), "", "Model_SetLogFile with \"\" closes it");
  CHECK(scratch_dir_read_file(&dir, "model.log", content, sizeof content) > 0,
        "the file holds the log");
  CHECK_CONTAINS(content, "velorium_debug_level", "with the rejected option's line");

  Model_Release(model);
  scratch_dir_remove(&dir);
}

int main(void) {
  options_of_every_type_are_set_and_read();
  unknown_names_wrong_types_and_rejected_values_are_errors();
  a_second_log_function_replaces_the_first();
  the_log_file_receives_the_lines();
  return c_check_summary();
}
