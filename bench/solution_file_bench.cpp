// Throughput of the solution file: writing and reading a result with many columns, and the
// line reader underneath.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "formats/common/line_reader.hpp"
#include "formats/solution/solution_reader.hpp"
#include "formats/solution/solution_writer.hpp"

namespace {

velorium::SolutionData makeSolution(std::size_t columns) {
  velorium::SolutionData data;
  data.has_duals = true;
  for (std::size_t i = 0; i < columns; ++i) {
    data.values.emplace("column_" + std::to_string(i), 1.0 / static_cast<double>(i + 1));
    data.duals.emplace("row_" + std::to_string(i), -static_cast<double>(i) * 0.5);
  }
  return data;
}

std::string scratchPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

void BM_WriteSolutionFile(benchmark::State& state) {
  const auto data = makeSolution(static_cast<std::size_t>(state.range(0)));
  const std::string path = scratchPath("velorium-bench-write.sol");
  for (auto _ : state) benchmark::DoNotOptimize(velorium::writeSolutionFile(data, path));
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}
BENCHMARK(BM_WriteSolutionFile)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_ReadSolutionFile(benchmark::State& state) {
  const std::string path = scratchPath("velorium-bench-read.sol");
  velorium::writeSolutionFile(makeSolution(static_cast<std::size_t>(state.range(0))), path);
  velorium::SolutionData data;
  for (auto _ : state) benchmark::DoNotOptimize(velorium::readSolutionFile(data, path));
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}
BENCHMARK(BM_ReadSolutionFile)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_ReadSolutionText(benchmark::State& state) {
  const std::string text = velorium::writeSolutionText(makeSolution(static_cast<std::size_t>(state.range(0)))).value();
  velorium::SolutionData data;
  for (auto _ : state) benchmark::DoNotOptimize(velorium::readSolutionText(data, text.data(), text.size()));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReadSolutionText)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_LineReader(benchmark::State& state) {
  const std::string path = scratchPath("velorium-bench-lines.txt");
  velorium::writeSolutionFile(makeSolution(1 << 20), path);
  std::size_t bytes = 0;
  for (auto _ : state) {
    velorium::LineReader reader(path, static_cast<std::size_t>(state.range(0)), true);
    std::string_view line;
    bytes = 0;
    while (reader.nextLine(line)) bytes += line.size() + 1;
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_LineReader)->Arg(4096)->Arg(262144)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
