// Cost of a fresh option set (every model, and every file read or written, builds one) and of
// reading and changing an option by name.
#include <benchmark/benchmark.h>

#include "core/options/option_access.hpp"
#include "core/options/velorium_options.hpp"

namespace {

using namespace velorium;

void BM_BuildOptionSet(benchmark::State& state) {
  for (auto _ : state) {
    VeloriumOptions options;
    benchmark::DoNotOptimize(options.records.data());
  }
}
BENCHMARK(BM_BuildOptionSet);

void BM_CopyOptionSet(benchmark::State& state) {
  VeloriumOptions source;
  for (auto _ : state) {
    VeloriumOptions copy(source);
    benchmark::DoNotOptimize(copy.records.data());
  }
}
BENCHMARK(BM_CopyOptionSet);

void BM_SetAndGetByName(benchmark::State& state) {
  VeloriumOptions options;
  int value = 0;
  for (auto _ : state) {
    setIntOption(options, "mip_min_cliquetable_entries_for_parallelism", 5000);
    getIntOption(options, "mip_min_cliquetable_entries_for_parallelism", value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_SetAndGetByName);

void BM_SetDoubleFromText(benchmark::State& state) {
  VeloriumOptions options;
  for (auto _ : state) {
    setOptionFromString(options, "mip_rel_gap", " 1.25e-4 ");
    benchmark::DoNotOptimize(options.mip_rel_gap);
  }
}
BENCHMARK(BM_SetDoubleFromText);

}  // namespace

BENCHMARK_MAIN();
