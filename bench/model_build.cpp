// Cost of building a large model in the store: additions with and without names, look-ups by
// name, removals, and generated names after removals. Each figure is per operation; peak_MB
// is the process's peak resident memory so far (VmHWM).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/model_builder.hpp"

namespace {

using velorium::VeloriumNamesHolder;
using velorium::cpp_impl::ModelBuilder;

constexpr int kCount = 1000000;

double peak_resident_megabytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;  // kB
  }
  return 0.0;
}

void report(benchmark::State& state, double operations_per_iteration) {
  state.counters["per_op"] = benchmark::Counter(operations_per_iteration,
                                                benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["peak_MB"] = peak_resident_megabytes();
}

// Names that no earlier run has interned, so every addition really adds to the pool.
std::vector<std::string> fresh_names(int count) {
  static int run = 0;
  const std::string prefix = "r" + std::to_string(run++) + "_v";
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) names.push_back(prefix + std::to_string(i));
  return names;
}

std::shared_ptr<ModelBuilder> named_store(const std::vector<std::string>& names) {
  auto store = std::make_shared<ModelBuilder>();
  for (const std::string& name : names) store->add_variable(0.0, 1.0, 0.0, 0, name.c_str(), nullptr);
  return store;
}

// The generated names "x#0", "x#1", ... are interned once per process, by the first model
// that uses them; BM_InternNewNames shows that one-time cost. This is every later model.
void BM_AddUnnamedVariables(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  velorium::get_names_holder()->get_generated_name(VeloriumNamesHolder::GeneratedPrefix::column, kCount);
  for (auto _ : state) {
    auto store = std::make_shared<ModelBuilder>();
    for (int i = 0; i < kCount; ++i) store->add_variable(0.0, 10.0, 1.0, 0, nullptr, nullptr);
    benchmark::DoNotOptimize(store->variable_count());
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
  report(state, kCount);
}
BENCHMARK(BM_AddUnnamedVariables)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AddNamedVariables(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  for (auto _ : state) {
    state.PauseTiming();
    const auto names = fresh_names(kCount);
    auto store = std::make_shared<ModelBuilder>();
    state.ResumeTiming();
    for (const std::string& name : names) store->add_variable(0.0, 10.0, 0.0, 0, name.c_str(), nullptr);
    benchmark::DoNotOptimize(store->variable_count());
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
  report(state, kCount);
}
BENCHMARK(BM_AddNamedVariables)->Unit(benchmark::kMillisecond)->Iterations(3);

// Look-ups in the order the names were added (arg 0) and in random order (arg 1), once the
// name index is built.
void BM_LookUpByName(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  auto names = fresh_names(kCount);
  auto store = named_store(names);
  if (state.range(0) == 1) std::shuffle(names.begin(), names.end(), std::mt19937(1));
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (const std::string& name : names) sum += store->find_variable_index(name);
    benchmark::DoNotOptimize(sum);
  }
  report(state, kCount);
}
BENCHMARK(BM_LookUpByName)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RemoveHalf(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  const auto names = fresh_names(kCount);
  std::vector<std::int32_t> order(kCount / 2);
  for (int i = 0; i < kCount / 2; ++i) order[static_cast<std::size_t>(i)] = 2 * i;
  std::shuffle(order.begin(), order.end(), std::mt19937(2));
  for (auto _ : state) {
    state.PauseTiming();
    auto store = named_store(names);
    state.ResumeTiming();
    for (const std::int32_t index : order) store->remove_variable(index);
    benchmark::DoNotOptimize(store->variable_count());
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
  report(state, kCount / 2.0);
}
BENCHMARK(BM_RemoveHalf)->Unit(benchmark::kMillisecond)->Iterations(3);

// Unnamed additions once the first half of the variables is gone: every generated name then
// needs the search past the names still taken, which must not grow with the model.
void BM_AddUnnamedAfterRemovingHalf(benchmark::State& state) {
  velorium::cpp_impl::get_or_create_kernel();
  constexpr int kAdded = 100000;
  for (auto _ : state) {
    state.PauseTiming();
    auto store = std::make_shared<ModelBuilder>();
    for (int i = 0; i < kCount; ++i) store->add_variable(0.0, 1.0, 0.0, 0, nullptr, nullptr);
    for (int i = 0; i < kCount / 2; ++i) store->remove_variable(i);
    store->variable_exists("x#0");  // builds the name index once, outside the timing
    state.ResumeTiming();
    for (int i = 0; i < kAdded; ++i) {
      store->remove_variable(kCount / 2 + i);  // one removal and one addition, repeatedly
      store->add_variable(0.0, 1.0, 0.0, 0, nullptr, nullptr);
    }
    benchmark::DoNotOptimize(store->variable_count());
    state.PauseTiming();
    store.reset();
    state.ResumeTiming();
  }
  report(state, kAdded);
}
BENCHMARK(BM_AddUnnamedAfterRemovingHalf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_InternNewNames(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const auto names = fresh_names(kCount);
    auto pool = std::make_unique<VeloriumNamesHolder>();
    state.ResumeTiming();
    for (const std::string& name : names) benchmark::DoNotOptimize(pool->find_or_add_name(name));
    state.PauseTiming();
    pool.reset();
    state.ResumeTiming();
  }
  report(state, kCount);
}
BENCHMARK(BM_InternNewNames)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
