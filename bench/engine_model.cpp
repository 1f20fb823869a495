// Moving a large flat model into the engine-side form and writing that form as LP: time per
// nonzero, so that a change that makes either super-linear shows.
//
// The model: 10^6 columns (a tenth integer), 5 * 10^5 rows of 20 nonzeros each (10^7
// nonzeros), every fourth row ranged (split in two) and every tenth an indicator row.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>

#include "core/names/names_holder.hpp"
#include "core/records/model.hpp"
#include "formats/engine/engine_lp_file.hpp"
#include "formats/engine/velorium_model.hpp"

namespace {

using namespace velorium;

constexpr std::size_t kColumnCount = 1'000'000;
constexpr std::size_t kRowCount = 500'000;
constexpr std::size_t kTermsPerRow = 20;
constexpr std::size_t kNonzeros = kRowCount * kTermsPerRow;

std::int32_t internedName(char prefix, std::size_t number) {
  return static_cast<std::int32_t>(get_names_holder()->find_or_add_name(prefix + std::to_string(number)));
}

// Every tenth column integer with bounds 0 and 1, every third in the objective.
void addColumns(Model& m) {
  for (std::size_t j = 0; j < kColumnCount; ++j) {
    const bool integer = j % 10 == 0;
    m.variables.push_back(Variable{integer ? 2u : 0u, 0.0, integer ? 1.0 : INFINITY, internedName('x', j)});
    if (j % 3 == 0) m.objective.linear_terms.push_back({static_cast<std::int32_t>(j), 1.5});
  }
}

// Every fourth row ranged, every tenth an indicator row.
void addRows(Model& m) {
  std::mt19937_64 random(7);
  for (std::size_t i = 0; i < kRowCount; ++i) {
    Constraint row(i % 4 == 0 ? 1.0 : -INFINITY, static_cast<double>(100 + i % 1000));
    row.expression.name_id = internedName('c', i);
    for (std::size_t k = 0; k < kTermsPerRow; ++k) {
      const auto column = static_cast<std::int32_t>(random() % kColumnCount);
      row.expression.linear_terms.push_back({column, static_cast<double>(1 + random() % 9)});
    }
    if (i % 10 == 5) row.indicator_variable = static_cast<std::int32_t>((i * 10) % kColumnCount);
    m.rows.push_back(std::move(row));
  }
}

const Model& largeModel() {
  static const Model model = [] {
    Model m;
    addColumns(m);
    addRows(m);
    return m;
  }();
  return model;
}

void BM_FillEngineModel(benchmark::State& state) {
  const Model& model = largeModel();
  for (auto _ : state) {
    VeloriumModel engine;
    engine.fillFromModel(model, nullptr);
    benchmark::DoNotOptimize(engine.matrix.values.data());
  }
  state.counters["ns_per_nonzero"] = benchmark::Counter(
      static_cast<double>(kNonzeros), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FillEngineModel)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteEngineModel(benchmark::State& state) {
  VeloriumModel engine;
  engine.fillFromModel(largeModel(), nullptr);
  const std::string path =
      (std::filesystem::temp_directory_path() / ("velorium-engine-bench-" + std::to_string(::getpid()) + ".lp")).string();
  VeloriumLogOptions quiet;
  for (auto _ : state) {
    if (writeEngineModelToFile(quiet, path, engine) != kVeloriumStatusOk) state.SkipWithError("not written");
  }
  std::filesystem::remove(path);
  state.counters["ns_per_nonzero"] = benchmark::Counter(
      static_cast<double>(kNonzeros), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WriteEngineModel)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
