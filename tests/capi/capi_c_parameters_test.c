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

/* Every typed read and change against an option of every type. */
typedef enum { GET_BOOL, GET_INT, GET_DBL, GET_STRING, SET_BOOL, SET_INT, SET_DBL, SET_STRING } ParamOp;

typedef struct {
  int fails;          /* 408 for a read, 409 for a change, with one logged line */
  const char* value;  /* a read: what it gives; a change: the option afterwards */
} TypedOutcome;

typedef struct {
  ParamOp op;
  const char* what;
  TypedOutcome by_type[4]; /* the options below, in their order */
} TypedRow;

static const char* const typed_options[4] = {"compute_iis", "threads", "time_limit", "presolve"};

/* Option `index` of typed_options read in its own type, as text. */
static void own_value(VeloriumModel* model, int index, char* out, size_t size) {
  const char* name = typed_options[index];
  switch (index) {
    case 0: snprintf(out, size, "%d", Model_GetBoolParam(model, name)); break;
    case 1: snprintf(out, size, "%d", Model_GetIntParam(model, name)); break;
    case 2: snprintf(out, size, "%g", Model_GetDblParam(model, name)); break;
    default: snprintf(out, size, "%s", Model_GetStringParam(model, name)); break;
  }
}

/* Runs `op` on `name`; a read writes what it gives into `out`. */
static void run_typed(VeloriumModel* model, ParamOp op, const char* name, char* out, size_t size) {
  const char* text;
  out[0] = '\0';
  switch (op) {
    case GET_BOOL: snprintf(out, size, "%d", Model_GetBoolParam(model, name)); break;
    case GET_INT: snprintf(out, size, "%d", Model_GetIntParam(model, name)); break;
    case GET_DBL: snprintf(out, size, "%g", Model_GetDblParam(model, name)); break;
    case GET_STRING:
      text = Model_GetStringParam(model, name);
      snprintf(out, size, "%s", text ? text : "(null)");
      break;
    case SET_BOOL: Model_SetBoolParam(model, name, 1); break;
    case SET_INT: Model_SetIntParam(model, name, 3); break;
    case SET_DBL: Model_SetDblParam(model, name, 2.5); break;
    case SET_STRING: Model_SetStringParam(model, name, strcmp(name, "presolve") == 0 ? "off" : "1"); break;
  }
}

static void every_typed_operation_against_every_option_type(void) {
  static const TypedRow rows[] = {
      {GET_BOOL, "Model_GetBoolParam", {{0, "0"}, {1, "0"}, {1, "0"}, {1, "0"}}},
      {GET_INT, "Model_GetIntParam", {{1, "0"}, {0, "0"}, {1, "0"}, {1, "0"}}},
      {GET_DBL, "Model_GetDblParam", {{1, "0"}, {1, "0"}, {0, "inf"}, {1, "0"}}},
      {GET_STRING, "Model_GetStringParam", {{1, "(null)"}, {1, "(null)"}, {1, "(null)"}, {0, "on"}}},
      /* A bool and an int are one another's values (0 and 1); nothing else crosses types. */
      {SET_BOOL, "Model_SetBoolParam 1", {{0, "1"}, {0, "1"}, {1, "inf"}, {1, "on"}}},
      {SET_INT, "Model_SetIntParam 3", {{0, "1"}, {0, "3"}, {1, "inf"}, {1, "on"}}},
      {SET_DBL, "Model_SetDblParam 2.5", {{1, "0"}, {1, "0"}, {0, "2.5"}, {1, "on"}}},
      {SET_STRING, "Model_SetStringParam", {{0, "1"}, {0, "1"}, {0, "1"}, {0, "off"}}},
  };
  size_t row;
  int type;
  for (row = 0; row < sizeof rows / sizeof rows[0]; ++row) {
    for (type = 0; type < 4; ++type) {
      const char* name = typed_options[type];
      const TypedOutcome* want = &rows[row].by_type[type];
      const int is_read = rows[row].op <= GET_STRING;
      VeloriumModel* model = Model_Create();
      LogRecord log = {0, ""};
      char what[200];
      char failure[200];
      char value[200];
      Model_SetLogCallbackFn(model, record_line, &log);
      run_typed(model, rows[row].op, name, value, sizeof value);
      snprintf(what, sizeof what, "%s of %s", rows[row].what, name);
      if (want->fails) {
        snprintf(failure, sizeof failure, "%s [%s]",
                 is_read ? "Ошибка получения параметра" : "Ошибка изменения параметра", name);
        CHECK(Model_GetErrorCode(model) == -1, what);
        CHECK_TEXT(Model_GetErrorText(model), failure, what);
        CHECK(log.lines == 1, what);
        CHECK_CONTAINS(log.last, name, what);
      } else {
        CHECK(Model_GetErrorCode(model) == 0 && log.lines == 0, what);
      }
      if (!is_read) own_value(model, type, value, sizeof value);
      CHECK_TEXT(value, want->value, what);
      Model_Release(model);
    }
  }
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
  CHECK(Model_GetBoolParam(model, "threads") == 0 && Model_GetErrorCode(model) == -1,
        "an int option of 3 is no bool: the read fails and gives 0");
  CHECK_TEXT(Model_GetErrorText(model), "Ошибка получения параметра [threads]", "with 408");
  Model_SetIntParam(model, "velorium_debug_level", 9);
  CHECK_TEXT(Model_GetErrorText(model), "Ошибка изменения параметра [velorium_debug_level]",
             "a value above the option's range fails with 409");
  CHECK(Model_GetIntParam(model, "velorium_debug_level") == 0, "and the option keeps its value");
  Model_SetStringParam(model, "presolve", "sometimes");
  CHECK(Model_GetErrorCode(model) == -1, "a text outside the allowed ones fails");
  CHECK_TEXT(Model_GetStringParam(model, "presolve"), "on", "and the option keeps its value");
  Model_Release(model);
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
  every_typed_operation_against_every_option_type();
  a_second_log_function_replaces_the_first();
  the_log_file_receives_the_lines();
  return c_check_summary();
}
