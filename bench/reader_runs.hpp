// Helpers of the benchmarks that time file readers: other programs run as child processes
// with their peak memory and times, our reader against cbc, and the memory a model that was
// read holds.
#pragma once

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "core/log/log_options.hpp"
#include "core/records/model.hpp"
#include "formats/lp/lp_reader.hpp"
#include "formats/mps/mps_reader.hpp"

extern char** environ;

namespace velorium::bench {

// Runs a program, its output (stdout and stderr) written to `output`, thrown away by
// default; it inherits the descriptors that are not close-on-exec. Gives its maximum
// resident set in MB, or a negative value when it could not be run or failed.
inline double runProgram(std::vector<std::string> arguments, const char* output = "/dev/null") {
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t child = 0;
  int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Another program reading a file of `file_mb` MB with `nonzeros` nonzeros, once per
// iteration, timed from its start to its exit. Counters: MB/s, ns_per_nonzero and peak_MB
// (its maximum resident set).
inline void runOtherReader(benchmark::State& state, const std::vector<std::string>& arguments, double file_mb,
                           double nonzeros) {
  double peak_mb = 0;
  for (auto _ : state) {
    peak_mb = runProgram(arguments);
    if (peak_mb < 0) {
      state.SkipWithError(("cannot run " + arguments[0]).c_str());
      break;
    }
  }
  state.counters["MB/s"] = benchmark::Counter(file_mb, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["ns_per_nonzero"] =
      benchmark::Counter(nonzeros * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["peak_MB"] = peak_mb;
}

inline double cpuSeconds(const rusage& usage) {
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

struct ProgramTime {
  double wall_seconds = 0;
  double cpu_seconds = 0;  // user and system
};

// Runs a program and adds its times to `total`; false when it could not be run or failed.
inline bool timeProgram(const std::vector<std::string>& arguments, ProgramTime& total,
                        const char* output = "/dev/null") {
  rusage before{};
  rusage after{};
  ::getrusage(RUSAGE_CHILDREN, &before);
  const auto start = std::chrono::steady_clock::now();
  if (runProgram(arguments, output) < 0) return false;
  total.wall_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ::getrusage(RUSAGE_CHILDREN, &after);
  total.cpu_seconds += cpuSeconds(after) - cpuSeconds(before);
  return true;
}

// Our reader against cbc on one file. The machine may be shared: both read back to back in
// every iteration (taking turns at going first), so that both see the same load, and both
// are measured alike: each is a program started afresh (ours is the benchmark re-run in a
// reading mode, `ours_command`), timed from its start to its exit, its processor time taken
// from its usage. A forked copy of the benchmark would not be fresh: it inherits the pool of
// names the earlier benchmarks filled. Counters: both sides' times and their ratios.
inline void compareWithCbc(benchmark::State& state, const std::vector<std::string>& ours_command,
                           const std::string& path) {
  const std::vector<std::string> cbc_command = {"cbc", "-import", path, "-quit"};
  ProgramTime ours;
  ProgramTime cbc;
  bool ours_first = true;
  for (auto _ : state) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool run_ours = (turn == 0) == ours_first;
      if (!timeProgram(run_ours ? ours_command : cbc_command, run_ours ? ours : cbc)) {
        state.SkipWithError(run_ours ? "our reader failed" : "cannot run cbc");
        return;
      }
    }
    ours_first = !ours_first;
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["ours_ms"] = ours.wall_seconds * 1e3 / runs;
  state.counters["cbc_ms"] = cbc.wall_seconds * 1e3 / runs;
  state.counters["times_faster_than_cbc"] = ours.wall_seconds > 0 ? cbc.wall_seconds / ours.wall_seconds : 0;
  state.counters["cpu_times_faster_than_cbc"] = ours.cpu_seconds > 0 ? cbc.cpu_seconds / ours.cpu_seconds : 0;
}

// Our reader of `format` ("mps" or "lp") on `path`, logging nothing; null when it fails.
inline std::shared_ptr<Model> readModelQuietly(const std::string& format, const std::string& path) {
  bool quiet = false;
  VeloriumLogOptions log;
  log.output_flag = &quiet;
  if (format == "mps") return readMpsFile(log, path);
  std::shared_ptr<Model> model;
  return readLpModelFile(log, path, model) == 0 ? model : nullptr;
}

template <typename T>
double bytesOf(const std::vector<T>& v) {
  return static_cast<double>(v.capacity() * sizeof(T));
}

// Only a block of their own: the terms held inside the record are counted with it.
template <typename T, std::uint32_t kInline>
double bytesOf(const TermList<T, kInline>& v) {
  return v.capacity() > TermList<T, kInline>::inline_capacity ? static_cast<double>(v.capacity() * sizeof(T)) : 0.0;
}

// The memory the model's records hold, capacities included (names live in the pool).
inline double modelBytes(const Model& model) {
  double bytes = sizeof model + bytesOf(model.rows) + bytesOf(model.variables) + bytesOf(model.general_constraints);
  bytes += bytesOf(model.objective.linear_terms) + bytesOf(model.objective.quadratic_terms);
  for (const Constraint& row : model.rows) {
    bytes += bytesOf(row.expression.linear_terms) + bytesOf(row.expression.quadratic_terms);
  }
  return bytes;
}

}  // namespace velorium::bench
