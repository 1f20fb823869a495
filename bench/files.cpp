// Writing a large model as MPS and as LP: output speed, time per nonzero and the memory the
// writer needs on top of the model; and, for comparison, glpsol reading our MPS file and
// writing it again as free MPS.
//
// The model: 10^6 columns (a tenth integer, a fifth with bounds), 5 * 10^5 rows of 20
// nonzeros each (10^7 nonzeros), half of the coefficients small integers and half decimal
// fractions, names "x<i>" and "c<i>".
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "bench/process_memory.hpp"
#include "core/log/log_options.hpp"
#include "core/names/names_holder.hpp"
#include "core/records/model.hpp"
#include "formats/lp/lp_writer.hpp"
#include "formats/mps/mps_writer.hpp"

namespace {

using namespace velorium;

constexpr std::size_t kColumns = 1'000'000;
constexpr std::size_t kRows = 500'000;
constexpr std::size_t kRowLength = 20;
constexpr std::size_t kNonzeros = kRows * kRowLength;

const Model& largeModel() {
  static const Model model = [] {
    Model m;
    VeloriumNamesHolder& pool = *get_names_holder();
    std::mt19937_64 random(42);
    m.variables.reserve(kColumns);
    for (std::size_t j = 0; j < kColumns; ++j) {
      Variable v;
      v.type = j % 10 == 0 ? 2 : 0;
      v.lower = 0.0;
      v.upper = j % 5 == 0 ? static_cast<double>(10 + j % 90) : INFINITY;
      v.name_id = static_cast<std::int32_t>(pool.find_or_add_name("x" + std::to_string(j)));
      m.variables.push_back(v);
    }
    m.rows.reserve(kRows);
    for (std::size_t i = 0; i < kRows; ++i) {
      Constraint row(-INFINITY, static_cast<double>(100 + i % 1000));
      row.expression.name_id = static_cast<std::int32_t>(pool.find_or_add_name("c" + std::to_string(i)));
      row.expression.linear_terms.reserve(kRowLength);
      for (std::size_t k = 0; k < kRowLength; ++k) {
        auto column = static_cast<std::int32_t>(random() % kColumns);
        double coefficient = k % 2 == 0 ? static_cast<double>(1 + random() % 9) : static_cast<double>(random() % 100000) / 1000.0;
        row.expression.linear_terms.push_back({column, coefficient});
      }
      m.rows.push_back(std::move(row));
    }
    for (std::size_t j = 0; j < kColumns; j += 3) m.objective.linear_terms.push_back({static_cast<std::int32_t>(j), 1.5});
    return m;
  }();
  return model;
}

std::string outputPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

void runWriter(benchmark::State& state, ModelFileWriter& writer, const char* file) {
  const Model& model = largeModel();
  std::string path = outputPath(file);
  bool quiet = false;
  VeloriumLogOptions log;
  log.output_flag = &quiet;
  double seconds = 0;
  std::size_t extra_peak = 0;
  for (auto _ : state) {
    const bench::PeakMemoryProbe memory;
    auto start = std::chrono::steady_clock::now();
    if (writer.writeModelToFile(log, path, model) != 0) state.SkipWithError("the file was not written");
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    extra_peak = std::max(extra_peak, memory.growth_bytes());
  }
  auto bytes = static_cast<double>(std::filesystem::file_size(path));
  double per_run = seconds / static_cast<double>(state.iterations());
  state.counters["MB_per_s"] = bytes / per_run / 1e6;
  state.counters["ns_per_nonzero"] = per_run * 1e9 / kNonzeros;
  state.counters["file_MB"] = bytes / 1e6;
  state.counters["extra_peak_bytes_per_nonzero"] = static_cast<double>(extra_peak) / kNonzeros;
  std::filesystem::remove(path);
}

// The MPS writer's export copy alone: legal unique names and the column-wise copy.
void BM_BuildExportCopy(benchmark::State& state) {
  const Model& model = largeModel();
  for (auto _ : state) {
    ExportModel copy = buildExportModel(model);
    benchmark::DoNotOptimize(copy.columns.data());
  }
  state.counters["ns_per_nonzero"] =
      benchmark::Counter(static_cast<double>(kNonzeros), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildExportCopy)->Unit(benchmark::kMillisecond)->Iterations(3);

// The names alone (what the LP writer builds).
void BM_BuildExportNames(benchmark::State& state) {
  const Model& model = largeModel();
  for (auto _ : state) {
    ExportModel copy = buildExportModel(model, ExportContent::names_only);
    benchmark::DoNotOptimize(copy.columns.data());
  }
}
BENCHMARK(BM_BuildExportNames)->Unit(benchmark::kMillisecond)->Iterations(3);

// The COLUMNS section alone, from a copy built beforehand: the bulk of an MPS file.
void BM_WriteMpsColumnsSection(benchmark::State& state) {
  ExportModel copy = buildExportModel(largeModel());
  std::string path = outputPath("velorium-bench-columns.mps");
  double bytes = 0;
  for (auto _ : state) {
    TextOutput out;
    if (!out.open(path)) state.SkipWithError("cannot create the file");
    writeMpsColumns(out, copy, true);
    out.finish();
    bytes = static_cast<double>(std::filesystem::file_size(path));
  }
  state.counters["MB_per_s"] = benchmark::Counter(bytes, benchmark::Counter::kIsIterationInvariantRate);
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteMpsColumnsSection)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteMps(benchmark::State& state) {
  MpsWriter writer;
  runWriter(state, writer, "velorium-bench.mps");
}
BENCHMARK(BM_WriteMps)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteLp(benchmark::State& state) {
  LpWriter writer;
  runWriter(state, writer, "velorium-bench.lp");
}
BENCHMARK(BM_WriteLp)->Unit(benchmark::kMillisecond)->Iterations(3);

// glpsol reads our MPS file and writes it again as free MPS (--check: no solve). Its time
// covers reading and writing together. glpsol reads no OBJSENSE section: lines 2 and 3 of
// our file (the model is minimised) are taken out first.
void BM_GlpsolRewritesFreeMps(benchmark::State& state) {
  if (std::system("command -v glpsol >/dev/null 2>&1") != 0) {
    state.SkipWithError("glpsol is not installed");
    for (auto _ : state) {
    }
    return;
  }
  std::string input = outputPath("velorium-bench-glpk-in.mps");
  std::string output = outputPath("velorium-bench-glpk-out.mps");
  bool quiet = false;
  VeloriumLogOptions log;
  log.output_flag = &quiet;
  writeModelAsMps(log, input, largeModel());
  if (std::system(("sed -i '2,3d' '" + input + "'").c_str()) != 0) state.SkipWithError("sed failed");
  std::string command = "glpsol --freemps '" + input + "' --wfreemps '" + output + "' --check >/dev/null 2>&1";
  double seconds = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("glpsol failed");
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  auto bytes = static_cast<double>(std::filesystem::file_size(output));
  double per_run = seconds / static_cast<double>(state.iterations());
  state.counters["output_MB_per_s"] = bytes / per_run / 1e6;
  state.counters["ns_per_nonzero"] = per_run * 1e9 / kNonzeros;
  state.counters["file_MB"] = bytes / 1e6;
  std::filesystem::remove(input);
  std::filesystem::remove(output);
}
BENCHMARK(BM_GlpsolRewritesFreeMps)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
