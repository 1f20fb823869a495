// Reading LP text: a sparse model of many rows, and one long objective line, in memory (the
// file layer is measured by the line reader's own benchmark).
#include <benchmark/benchmark.h>

#include <string>

#include "formats/lp/lp_reader.hpp"

namespace {

using namespace velorium;

// `rows` rows of five terms over `rows` columns, with bounds and integer columns.
std::string sparseModel(int rows) {
  std::string text = "Minimize\n obj:";
  for (int j = 0; j < rows; ++j) text += " + " + std::to_string(j % 9 + 1) + " x" + std::to_string(j);
  text += "\nSubject To\n";
  for (int i = 0; i < rows; ++i) {
    text += " r" + std::to_string(i) + ":";
    for (int k = 0; k < 5; ++k) text += " + 1.5 x" + std::to_string((i * 7 + k * 13) % rows);
    text += " <= " + std::to_string(i) + "\n";
  }
  text += "Bounds\n";
  for (int j = 0; j < rows; j += 3) text += " -5 <= x" + std::to_string(j) + " <= 5\n";
  text += "Generals\n";
  for (int j = 0; j < rows; j += 5) text += " x" + std::to_string(j) + "\n";
  return text + "End\n";
}

void BM_ReadSparseModel(benchmark::State& state) {
  const std::string text = sparseModel(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto model = parseLpText(text);
    benchmark::DoNotOptimize(model->rows.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadSparseModel)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ReadOneLongLine(benchmark::State& state) {
  std::string text = "Minimize\n obj:";
  for (int j = 0; j < state.range(0); ++j) text += " - 2.25 long_variable_name_" + std::to_string(j);
  text += "\nEnd\n";
  for (auto _ : state) {
    auto model = parseLpText(text);
    benchmark::DoNotOptimize(model->variables.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadOneLongLine)->Arg(200000)->Unit(benchmark::kMillisecond);

// A tiny file: the fixed cost of one read.
void BM_ReadTinyModel(benchmark::State& state) {
  const std::string text = "Minimize\n x + y\nSubject To\n c: x + y >= 1\nEnd\n";
  for (auto _ : state) {
    auto model = parseLpText(text);
    benchmark::DoNotOptimize(model->rows.data());
  }
}
BENCHMARK(BM_ReadTinyModel);

}  // namespace

BENCHMARK_MAIN();
