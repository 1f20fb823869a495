/* Building a large model one member at a time through the function interface, as a C program
 * does: the time and the memory of each variable and each two-term row.
 *
 *     bench_c_model_build [--count N] [--rounds R] [--only CASE] [--warm-memory MIB]
 *
 * Cases (N members each, 10^6 by default):
 *   variables, named      Model_AddVariable(model, 0, 10, 1, continuous, "v<i>"), every handle
 *                          kept, then every handle released (Variable_Release); both timed.
 *   variables, unnamed    the same with a null name ("x#<i>").
 *   rows, named           per row: LinearExpression_Create, two LinearExpression_AddTerm
 *                          (x[i] + 2 x[i+1]), Model_AddConstraintLinear1(model, e, less_equal,
 *                          10, "c<i>"), Constraint_Release, LinearExpression_Release; the N + 1
 *                          variables are added before the timing.
 *   rows, unnamed         the same with a null name ("C#<i>").
 *   expressions only      the rows' loop without Model_AddConstraintLinear1 and
 *                          Constraint_Release: the rows' own cost is the difference.
 * Every case runs in a process of its own (a fork of this one, made before any model), so its
 * pool of names starts empty and its memory is its own; the same members are then added once
 * more to a second model in that process ("again": names already pooled; the first model is
 * released before it, so the memory it gave back to the system is fresh again). The
 * cases take turns, round by round; each figure is the median of the rounds, time also the
 * lowest.
 *
 * Memory is the growth of the resident set over the case's start (the names' texts of the
 * program itself and the handle array made before it): "kept" with every handle held, "held"
 * once the handles are released (what the model and its pooled names hold), "peak" the
 * highest point. Goals: 0.3 us per named member, 120 bytes per variable, 200 per row.
 *
 * The processor time beside the wall time shows how much of a run was spent waiting for a
 * processor; the cost of fresh memory, measured at the start and at the end, how much of it
 * went to the pages the model needed (on a virtual machine they may cost ten times as much as
 * on a quiet real one).
 *
 * --warm-memory MIB: each case's process first touches MIB mebibytes in huge pages and gives
 * them back, so that its models take memory the system has just had back. A virtual machine
 * that returns free memory to its host (this one does: page_reporting.page_reporting_order on
 * its kernel's command line) has the host back such memory anew on its first touch once it
 * has lain free for a few seconds, a cost that a machine of its own never pays: with this
 * option the figures are those of such a machine, without it this one's. About 1.5 KiB a
 * member covers a case's two models. */
#define _GNU_SOURCE
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "velorium/velorium.h"

enum case_kind { VARIABLES_NAMED, VARIABLES_UNNAMED, ROWS_NAMED, ROWS_UNNAMED, EXPRESSIONS_ONLY, CASE_COUNT };

static const char* const case_labels[CASE_COUNT] = {"variables, named", "variables, unnamed", "rows, named",
                                                    "rows, unnamed", "expressions only"};

/* Wall and processor time (the process's; it runs one thread). */
struct elapsed {
  double wall, cpu;
};

/* What a child reports through its pipe. */
struct report {
  int ok;
  struct elapsed seconds;       /* additions and releases of the first model */
  struct elapsed again_seconds; /* the same in a second model of the same process */
  double kept_bytes;    /* resident growth with every handle held */
  double held_bytes;    /* after the handles are released */
  double peak_bytes;    /* highest resident growth */
};

static double clock_seconds(clockid_t clock) {
  struct timespec t;
  clock_gettime(clock, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

static struct elapsed now(void) {
  struct elapsed t = {clock_seconds(CLOCK_MONOTONIC), clock_seconds(CLOCK_PROCESS_CPUTIME_ID)};
  return t;
}

/* Adds the time from `start` until now to `spent`. */
static void add_since(struct elapsed* spent, struct elapsed start) {
  const struct elapsed end = now();
  spent->wall += end.wall - start.wall;
  spent->cpu += end.cpu - start.cpu;
}

/* A field of /proc/self/status given in kB, in bytes. */
static double status_bytes(const char* field) {
  FILE* status = fopen("/proc/self/status", "r");
  char line[256];
  double bytes = 0;
  const size_t length = strlen(field);
  if (!status) return 0;
  while (fgets(line, sizeof line, status)) {
    if (strncmp(line, field, length) == 0) {
      bytes = strtod(line + length, NULL) * 1024.0;
      break;
    }
  }
  fclose(status);
  return bytes;
}

/* The peak (VmHWM) starts again from the current resident size. */
static void reset_peak(void) {
  FILE* clear = fopen("/proc/self/clear_refs", "w");
  if (clear) {
    fputs("5", clear);
    fclose(clear);
  }
}

static char** make_names(const char* prefix, size_t count) {
  char** names = malloc(count * sizeof *names);
  for (size_t i = 0; names && i < count; ++i) {
    char text[32];
    snprintf(text, sizeof text, "%s%zu", prefix, i);
    names[i] = strdup(text);
  }
  return names;
}

/* Adds `count` variables to `model`, handles into `handles`; true when all were added. */
static int add_variables(VeloriumModel* model, char** names, size_t count, VeloriumVariable** handles) {
  for (size_t i = 0; i < count; ++i) {
    handles[i] = Model_AddVariable(model, 0.0, 10.0, 1.0, VELORIUM_CONTINUOUS, names ? names[i] : NULL);
  }
  return (size_t)Model_GetVariablesCount(model) == count;
}

static void release_variables(VeloriumVariable** handles, size_t count) {
  for (size_t i = 0; i < count; ++i) Variable_Release(handles[i]);
}

/* The rows x[i] + 2 x[i+1] <= 10, i < count; `add` false builds and releases the expressions
 * only. True when the model has the rows it should. */
static int add_rows(VeloriumModel* model, VeloriumVariable** x, char** names, size_t count, int add) {
  for (size_t i = 0; i < count; ++i) {
    VeloriumLinearExpression* e = LinearExpression_Create();
    LinearExpression_AddTerm(e, x[i], 1.0);
    LinearExpression_AddTerm(e, x[i + 1], 2.0);
    if (add) Constraint_Release(Model_AddConstraintLinear1(model, e, VELORIUM_LESS_EQUAL, 10.0, names ? names[i] : NULL));
    LinearExpression_Release(e);
  }
  return (size_t)Model_GetConstraintsCount(model) == (add ? count : 0);
}

/* One model's additions, timed, with the memory figures taken around them. */
static int build_once(enum case_kind kind, size_t count, char** variable_names, char** row_names,
                      VeloriumVariable** handles, struct elapsed* spent, struct report* memory) {
  const int rows = kind == ROWS_NAMED || kind == ROWS_UNNAMED || kind == EXPRESSIONS_ONLY;
  VeloriumModel* model = Model_Create();
  int ok = model != NULL;
  double base = 0;
  struct elapsed start;
  spent->wall = spent->cpu = 0;
  if (rows) ok = ok && add_variables(model, variable_names, count + 1, handles);
  if (memory) {
    base = status_bytes("VmRSS:");
    reset_peak();
  }
  start = now();
  if (!rows) {
    ok = ok && add_variables(model, kind == VARIABLES_NAMED ? variable_names : NULL, count, handles);
    add_since(spent, start); /* the handles' release is timed, not the reading below */
    if (memory) memory->kept_bytes = status_bytes("VmRSS:") - base;
    start = now();
    release_variables(handles, count);
    add_since(spent, start);
  } else {
    ok = ok && add_rows(model, handles, kind == ROWS_NAMED ? row_names : NULL, count, kind != EXPRESSIONS_ONLY);
    add_since(spent, start);
    if (memory) memory->kept_bytes = status_bytes("VmRSS:") - base;
  }
  if (memory) {
    memory->held_bytes = status_bytes("VmRSS:") - base;
    memory->peak_bytes = status_bytes("VmHWM:") - base;
  }
  if (rows) release_variables(handles, count + 1);
  if (model) Model_Release(model);
  return ok;
}

/* Maps `bytes` anew, advised for huge pages or against them, writes a byte of every 4 KiB page
 * and unmaps them; the seconds the writes took, 0 when nothing could be mapped. */
static double touch_new_memory(size_t bytes, int huge_pages) {
  char* memory = mmap(NULL, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  struct elapsed start;
  double seconds;
  if (memory == MAP_FAILED) return 0;
  madvise(memory, bytes, huge_pages ? MADV_HUGEPAGE : MADV_NOHUGEPAGE);
  start = now();
  for (size_t i = 0; i < bytes; i += 4096) memory[i] = 1;
  seconds = now().wall - start.wall;
  munmap(memory, bytes);
  return seconds;
}

/* Touches `mebibytes` MiB in huge pages and gives them back (see --warm-memory). */
static void warm_memory(size_t mebibytes) {
  if (mebibytes > 0) touch_new_memory(mebibytes << 20, 1);
}

static struct report run_case(enum case_kind kind, size_t count, size_t warm_mebibytes) {
  struct report result = {0, {0, 0}, {0, 0}, 0, 0, 0};
  int channel[2];
  pid_t child;
  if (pipe(channel) != 0) return result;
  child = fork();
  if (child == 0) {
    char** variable_names = make_names("v", count + 1);
    char** row_names = make_names("c", count);
    VeloriumVariable** handles = malloc((count + 1) * sizeof *handles);
    struct report report = {0, {0, 0}, {0, 0}, 0, 0, 0};
    close(channel[0]);
    warm_memory(warm_mebibytes);
    if (variable_names && row_names && handles) {
      report.ok = build_once(kind, count, variable_names, row_names, handles, &report.seconds, &report) &&
                  build_once(kind, count, variable_names, row_names, handles, &report.again_seconds, NULL);
    }
    _exit(write(channel[1], &report, sizeof report) == (ssize_t)sizeof report ? 0 : 1);
  }
  close(channel[1]);
  if (child > 0) {
    int status = 0;
    if (read(channel[0], &result, sizeof result) != (ssize_t)sizeof result) result.ok = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) result.ok = 0;
  }
  close(channel[0]);
  return result;
}

/* The cost of fresh memory now, in ns a byte: the first touch of 64 MiB mapped anew, in 4 KiB
 * pages and advised for huge pages. Much of a cold build's time is this (every page the process
 * takes costs a fault, and on a virtual machine the host may back it only then), so the figure
 * says how far a run's times are the machine's. */
static void fresh_memory_cost(double* small_pages, double* huge_pages) {
  const size_t bytes = (size_t)64 << 20;
  *small_pages = touch_new_memory(bytes, 0) * 1e9 / (double)bytes;
  *huge_pages = touch_new_memory(bytes, 1) * 1e9 / (double)bytes;
}

static int compare_doubles(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

static double median(double* values, int count) {
  qsort(values, (size_t)count, sizeof *values, compare_doubles);
  return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

static double lowest(const double* values, int count) {
  double low = values[0];
  for (int i = 1; i < count; ++i) low = values[i] < low ? values[i] : low;
  return low;
}

int main(int argc, char** argv) {
  size_t count = 1000000;
  int rounds = 3;
  int only = -1; /* a case's number (0 to 4, in the order of the table) for profiling it alone */
  size_t warm_mebibytes = 0;
  int unknown = 0;
  double loads[3] = {0, 0, 0};
  for (int i = 1; i + 1 < argc; i += 2) {
    if (strcmp(argv[i], "--count") == 0) count = strtoull(argv[i + 1], NULL, 10);
    else if (strcmp(argv[i], "--rounds") == 0) rounds = atoi(argv[i + 1]);
    else if (strcmp(argv[i], "--only") == 0) only = atoi(argv[i + 1]);
    else if (strcmp(argv[i], "--warm-memory") == 0) warm_mebibytes = strtoull(argv[i + 1], NULL, 10);
    else unknown = 1;
  }
  if (argc % 2 == 0 || unknown || count == 0 || rounds < 1 || rounds > 100 || only >= CASE_COUNT) {
    fprintf(stderr, "usage: %s [--count N] [--rounds R] [--only CASE] [--warm-memory MIB]\n", argv[0]);
    return 2;
  }
  static struct report reports[CASE_COUNT][100];
  double fresh_small, fresh_huge;
  getloadavg(loads, 3);
  fresh_memory_cost(&fresh_small, &fresh_huge);
  printf("%zu members a case, %d rounds; load average at the start %.2f %.2f %.2f; fresh memory %.2f ns a byte in "
         "4 KiB pages, %.2f in huge pages\n",
         count, rounds, loads[0], loads[1], loads[2], fresh_small, fresh_huge);
  if (warm_mebibytes > 0) printf("each case's process touched %zu MiB and gave them back before its models\n", warm_mebibytes);
  for (int round = 0; round < rounds; ++round) {
    for (int c = 0; c < CASE_COUNT; ++c) {
      if (only >= 0 && c != only) {
        reports[c][round] = (struct report){1, {0, 0}, {0, 0}, 0, 0, 0};
        continue;
      }
      reports[c][round] = run_case((enum case_kind)c, count, warm_mebibytes);
      if (!reports[c][round].ok) {
        fprintf(stderr, "%s: the model did not get its members\n", case_labels[c]);
        return 1;
      }
    }
  }
  getloadavg(loads, 3);
  fresh_memory_cost(&fresh_small, &fresh_huge);
  printf("load average at the end %.2f %.2f %.2f; fresh memory %.2f ns a byte in 4 KiB pages, %.2f in huge pages\n\n",
         loads[0], loads[1], loads[2], fresh_small, fresh_huge);
  printf("| Case | us each (median) | lowest | processor us | again | bytes each, handles kept | handles released "
         "| peak |\n");
  printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
  double time_median[CASE_COUNT], held_median[CASE_COUNT];
  for (int c = 0; c < CASE_COUNT; ++c) {
    double seconds[100], cpu[100], again[100], kept[100], held[100], peak[100];
    for (int r = 0; r < rounds; ++r) {
      seconds[r] = reports[c][r].seconds.wall;
      cpu[r] = reports[c][r].seconds.cpu;
      again[r] = reports[c][r].again_seconds.wall;
      kept[r] = reports[c][r].kept_bytes;
      held[r] = reports[c][r].held_bytes;
      peak[r] = reports[c][r].peak_bytes;
    }
    const double per = 1e6 / (double)count;
    const double low = lowest(seconds, rounds);
    time_median[c] = median(seconds, rounds) * per;
    held_median[c] = median(held, rounds) / (double)count;
    printf("| %s | %.3f | %.3f | %.3f | %.3f | %.0f | %.0f | %.0f |\n", case_labels[c], time_median[c], low * per,
           median(cpu, rounds) * per, median(again, rounds) * per, median(kept, rounds) / (double)count, held_median[c],
           median(peak, rounds) / (double)count);
  }
  const double row_named = time_median[ROWS_NAMED] - time_median[EXPRESSIONS_ONLY];
  printf("\nA row's own cost (rows less expressions only): named %.3f us, unnamed %.3f us\n", row_named,
         time_median[ROWS_UNNAMED] - time_median[EXPRESSIONS_ONLY]);
  printf("Against the goals, as figure / goal: a named variable %.2f of the time (0.3 us) and %.2f of the memory "
         "(120 bytes); a named row %.2f of the time and %.2f of the memory (200 bytes)\n",
         time_median[VARIABLES_NAMED] / 0.3, held_median[VARIABLES_NAMED] / 120.0, row_named / 0.3,
         held_median[ROWS_NAMED] / 200.0);
  return 0;
}
