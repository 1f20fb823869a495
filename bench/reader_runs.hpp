// Helpers of the benchmarks that time file readers: other programs run as child processes
// with their peak memory, and the memory a model that was read holds.
#pragma once

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "core/records/model.hpp"

extern char** environ;

namespace velorium::bench {

// Runs a program, its output thrown away; it inherits the descriptors that are not
// close-on-exec. Gives its maximum resident set in MB, or a negative value when it could not
// be run or failed.
inline double runProgram(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
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

template <typename T>
double bytesOf(const std::vector<T>& v) {
  return static_cast<double>(v.capacity() * sizeof(T));
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
