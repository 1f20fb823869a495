// Writing a large model as MPS and as LP: output speed, time per nonzero and the memory the
// writer needs on top of the model; and, for comparison, glpsol reading our MPS file and
// writing it again as free MPS. Reading those files back: our MPS and LP readers, and cbc and
// glpsol reading the same MPS file, each in a fresh process; and our MPS reader against cbc
// in turns, both timed as whole programs.
//
// The model: 10^6 columns (a tenth integer, a fifth with bounds), 5 * 10^5 rows of 20
// nonzeros each (10^7 nonzeros), half of the coefficients small integers and half decimal
// fractions, names "x<i>" and "c<i>".
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/large_model.hpp"
#include "bench/process_memory.hpp"
#include "bench/reader_runs.hpp"
#include "core/log/log_options.hpp"
#include "core/names/names_holder.hpp"
#include "core/records/model.hpp"
#include "formats/lp/lp_reader.hpp"
#include "formats/lp/lp_writer.hpp"
#include "formats/mps/mps_reader.hpp"
#include "formats/mps/mps_writer.hpp"

namespace {

using namespace velorium;

using bench::kColumns;
using bench::kNonzeros;
using bench::kRowLength;
using bench::kRows;
using bench::largeModel;

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

// Skips the benchmark, which then runs no iteration.
void skip(benchmark::State& state, const std::string& reason) {
  state.SkipWithError(reason.c_str());
  for (auto _ : state) {
  }
}

// False, with the benchmark skipped, when `program` is not on the path.
bool installed(benchmark::State& state, const std::string& program) {
  if (std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0) return true;
  skip(state, program + " is not installed");
  return false;
}

// glpsol reads our MPS file and writes it again as free MPS (--check: no solve). Its time
// covers reading and writing together. glpsol reads no OBJSENSE section: lines 2 and 3 of
// our file (the model is minimised) are taken out first.
void BM_GlpsolRewritesFreeMps(benchmark::State& state) {
  if (!installed(state, "glpsol")) return;
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

// The files the reading benchmarks read, written once by our writers and removed at exit.
// glpsol reads no OBJSENSE section, so it gets a copy without lines 2 and 3 (the model is
// minimised, as glpsol assumes).
enum class ReadFile { mps, lp, mps_for_glpsol };

// Gives the path of `file`; false, with the benchmark skipped, when the files could not be
// written.
bool readFileReady(benchmark::State& state, ReadFile file, std::string& path) {
  static const std::string mps = outputPath("velorium-bench-read.mps");
  static const std::string lp = outputPath("velorium-bench-read.lp");
  static const std::string glpsol_mps = outputPath("velorium-bench-read-glpsol.mps");
  static const bool written = [] {
    std::atexit([] {
      for (const std::string* written_path : {&mps, &lp, &glpsol_mps}) std::filesystem::remove(*written_path);
    });
    bool quiet = false;
    VeloriumLogOptions log;
    log.output_flag = &quiet;
    LpWriter lp_writer;
    return writeModelAsMps(log, mps, largeModel()) == 0 && lp_writer.writeModelToFile(log, lp, largeModel()) == 0 &&
           std::system(("sed '2,3d' '" + mps + "' >'" + glpsol_mps + "'").c_str()) == 0;
  }();
  if (!written) {
    skip(state, "the files to read could not be written");
    return false;
  }
  path = file == ReadFile::mps ? mps : file == ReadFile::lp ? lp : glpsol_mps;
  return true;
}

double fileMegabytes(const std::string& path) { return static_cast<double>(std::filesystem::file_size(path)) / 1e6; }

// Our readers run in a fresh process, this program started again in its reading mode: a
// forked copy would hold the names of the model above in its pool already. The child times
// the reading, measures its peak and sends both with the read model's size through a pipe.
constexpr const char* kReadOnlyFlag = "--velorium-read-file-only";

struct ReadReport {
  double wall_seconds = 0;
  double peak_bytes = 0;   // growth of the resident set during the reading
  double model_bytes = 0;  // what the read model's records hold
};

// The reading mode: reads one file, writes the report to `report_fd` (none when it is
// negative) and exits without freeing the model; fails when the reader does.
int readOnly(const std::string& format, const std::string& path, int report_fd) {
  const bench::PeakMemoryProbe memory;
  const auto start = std::chrono::steady_clock::now();
  const std::shared_ptr<Model> model = bench::readModelQuietly(format, path);
  ReadReport report;
  report.wall_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  report.peak_bytes = static_cast<double>(memory.growth_bytes());
  if (!model) return 1;
  report.model_bytes = bench::modelBytes(*model);
  const bool sent = report_fd < 0 || ::write(report_fd, &report, sizeof report) == sizeof report;
  ::_exit(sent ? 0 : 1);
}

bool readInFreshProcess(const std::string& format, const std::string& path, ReadReport& report) {
  int channel[2];
  if (::pipe(channel) != 0) return false;
  const double peak = bench::runProgram({std::filesystem::read_symlink("/proc/self/exe").string(), kReadOnlyFlag, format,
                                         path, std::to_string(channel[1])});
  ::close(channel[1]);  // the child has exited: the read below sees its report or the end
  const bool reported = ::read(channel[0], &report, sizeof report) == sizeof report;
  ::close(channel[0]);
  return peak >= 0 && reported;
}

// `format` is "mps" or "lp".
void runOurReader(benchmark::State& state, const std::string& format) {
  std::string path;
  if (!readFileReady(state, format == "lp" ? ReadFile::lp : ReadFile::mps, path)) return;
  ReadReport report;
  for (auto _ : state) {
    if (!readInFreshProcess(format, path, report)) {
      state.SkipWithError(("the " + format + " reader failed").c_str());
      break;
    }
    state.SetIterationTime(report.wall_seconds);
  }
  state.counters["MB/s"] = benchmark::Counter(fileMegabytes(path), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["ns_per_nonzero"] = benchmark::Counter(static_cast<double>(kNonzeros) * 1e-9,
                                                        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  // In MiB, as the other readers' peak_MB.
  state.counters["peak_MB"] = report.peak_bytes / (1024.0 * 1024.0);
  state.counters["model_MB"] = report.model_bytes / (1024.0 * 1024.0);
  state.counters["peak_over_model"] = report.model_bytes > 0 ? report.peak_bytes / report.model_bytes : 0;
  state.counters["file_MB"] = fileMegabytes(path);
}

void BM_ReadMps(benchmark::State& state) { runOurReader(state, "mps"); }
BENCHMARK(BM_ReadMps)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

void BM_ReadLp(benchmark::State& state) { runOurReader(state, "lp"); }
BENCHMARK(BM_ReadLp)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

// cbc and glpsol on the same MPS file, timed from their start to their exit; their peak_MB is
// their maximum resident set.
void BM_CbcReadMps(benchmark::State& state) {
  std::string path;
  if (!installed(state, "cbc") || !readFileReady(state, ReadFile::mps, path)) return;
  bench::runOtherReader(state, {"cbc", "-import", path, "-quit"}, fileMegabytes(path), static_cast<double>(kNonzeros));
}
BENCHMARK(BM_CbcReadMps)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Our MPS reader and cbc in turns on the same file, both timed alike as whole programs.
void BM_MpsSpeedupOverCbc(benchmark::State& state) {
  std::string path;
  if (!installed(state, "cbc") || !readFileReady(state, ReadFile::mps, path)) return;
  bench::compareWithCbc(state, {std::filesystem::read_symlink("/proc/self/exe").string(), kReadOnlyFlag, "mps", path, "-1"},
                        path);
}
BENCHMARK(BM_MpsSpeedupOverCbc)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Our LP reader and cbc in turns on our LP file of the same model.
void BM_LpSpeedupOverCbc(benchmark::State& state) {
  std::string path;
  if (!installed(state, "cbc") || !readFileReady(state, ReadFile::lp, path)) return;
  bench::compareWithCbc(state, {std::filesystem::read_symlink("/proc/self/exe").string(), kReadOnlyFlag, "lp", path, "-1"},
                        path);
}
BENCHMARK(BM_LpSpeedupOverCbc)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_GlpsolReadMps(benchmark::State& state) {
  std::string path;
  if (!installed(state, "glpsol") || !readFileReady(state, ReadFile::mps_for_glpsol, path)) return;
  bench::runOtherReader(state, {"glpsol", "--freemps", path, "--check"}, fileMegabytes(path),
                        static_cast<double>(kNonzeros));
}
BENCHMARK(BM_GlpsolReadMps)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], kReadOnlyFlag) == 0) return readOnly(argv[2], argv[3], std::atoi(argv[4]));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
