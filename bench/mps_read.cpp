// Reading a large free-format MPS file (10^6 columns, 10^7 nonzeros): throughput, time per
// nonzero and peak memory of the MPS reader, against cbc and glpsol reading the same file.
//
// Each reading runs in a fresh process, as cbc and glpsol do. Counters: MB/s; ns_per_nonzero;
// peak_MB (the growth of the resident set during the reading); model_MB (the memory the read
// model holds, capacities included); for the other readers peak_MB is the process's maximum
// resident set. BM_SpeedupOverCbc reads with both back to back, each in a program of its
// own started afresh, and gives the ratios.
#include <benchmark/benchmark.h>

#include "process_memory.hpp"
#include "reader_runs.hpp"
#include "text_file_out.hpp"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/log/log_options.hpp"
#include "core/records/model.hpp"
#include "formats/mps/mps_reader.hpp"

namespace {

constexpr int kColumns = 1000000;
constexpr int kRows = 100000;
constexpr int kEntriesPerColumn = 10;  // one objective entry and nine row entries
constexpr std::int64_t kNonzeros = std::int64_t{kColumns} * kEntriesPerColumn;

using Out = velorium::bench::TextFileOut;

const std::string& benchPath() {
  static const std::string path = (std::filesystem::temp_directory_path() / "velorium-bench-mps-read.mps").string();
  return path;
}

// A file every reader of the comparison accepts: ROWS, COLUMNS with two pairs a line and a
// block of integer columns, RHS, RANGES and BOUNDS, in the fixed columns of the format.
const std::string& benchFile() {
  static const bool written = [] {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> row_of(0, kRows - 1);
    std::uniform_int_distribution<int> milli(-9999, 9999);
    Out out(benchPath());
    out << "NAME          BENCH";
    out.endLine() << "ROWS";
    out.endLine() << " N  obj";
    out.endLine();
    for (long r = 0; r < kRows; ++r) (out << (r % 3 == 0 ? " L  r" : r % 3 == 1 ? " G  r" : " E  r") << r).endLine();
    out << "COLUMNS";
    out.endLine();
    for (long c = 0; c < kColumns; ++c) {
      if (c == kColumns / 2 || c == kColumns / 2 + 1000) {
        (out.column(4) << "MARKER").column(14) << "'MARKER'";
        (out.column(39) << (c == kColumns / 2 ? "'INTORG'" : "'INTEND'")).endLine();
      }
      int rows[kEntriesPerColumn - 1];
      for (int k = 0; k < kEntriesPerColumn - 1; ++k) {
        bool fresh;
        do {
          rows[k] = row_of(random);
          fresh = true;
          for (int j = 0; j < k; ++j) fresh = fresh && rows[j] != rows[k];
        } while (!fresh);
      }
      for (int k = 0; k < kEntriesPerColumn; k += 2) {
        (out.column(4) << "x" << c).column(14);
        if (k == 0) {
          out << "obj";
        } else {
          out << "r" << static_cast<long>(rows[k - 1]);
        }
        (out.column(24) << (milli(random) + 0.5) / 1000.0).column(39) << "r" << static_cast<long>(rows[k]);
        (out.column(49) << (milli(random) + 0.5) / 1000.0).endLine();
      }
    }
    out << "RHS";
    out.endLine();
    for (long r = 0; r < kRows; ++r) {
      (out.column(4) << "RHS").column(14) << "r" << r;
      (out.column(24) << static_cast<double>(r % 100)).endLine();
    }
    out << "RANGES";
    out.endLine();
    for (long r = 0; r < kRows; r += 10) {
      (out.column(4) << "RNG").column(14) << "r" << r;
      (out.column(24) << 5.0).endLine();
    }
    out << "BOUNDS";
    out.endLine();
    for (long c = 0; c < kColumns; c += 7) {
      (out.column(1) << "UP").column(4) << "BND";
      out.column(14) << "x" << c;
      (out.column(24) << static_cast<double>(c % 50 + 1)).endLine();
    }
    out << "ENDATA";
    out.endLine();
    std::atexit([] { std::filesystem::remove(benchPath()); });
    return true;
  }();
  (void)written;
  return benchPath();
}

double fileMegabytes() { return static_cast<double>(std::filesystem::file_size(benchFile())) / 1e6; }

long residentKilobytes() { return static_cast<long>(velorium::bench::processStatusBytes("VmRSS:") / 1024); }

velorium::VeloriumLogOptions consoleLog() {
  static bool on = true;
  velorium::VeloriumLogOptions log;
  log.output_flag = &on;
  log.log_to_console = &on;
  return log;
}

using velorium::bench::cpuSeconds;

// One reading in a fresh child process, as cbc and glpsol each read in a process of their
// own: the pool of names starts empty and nothing else runs. The child times the reading
// (wall and processor time) and reports the model's size; its peak memory is its maximum
// resident set less what it held when it started.
struct ChildRead {
  bool ok = false;
  double wall_seconds = 0;
  double cpu_seconds = 0;
  double peak_mb = 0;
  double model_mb = 0;
};

ChildRead readInChild(const std::string& path) {
  struct Report {
    double wall_seconds;
    double cpu_seconds;
    double model_mb;
  };
  ChildRead result;
  int channel[2];
  if (::pipe(channel) != 0) return result;
  const long base_kb = residentKilobytes();
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    rusage before{};
    rusage after{};
    ::getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    std::shared_ptr<velorium::Model> model = velorium::readMpsFile(consoleLog(), path);
    Report report{std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0, 0};
    ::getrusage(RUSAGE_SELF, &after);
    report.cpu_seconds = cpuSeconds(after) - cpuSeconds(before);
    report.model_mb = model ? velorium::bench::modelBytes(*model) / (1024.0 * 1024.0) : -1;
    (void)!::write(channel[1], &report, sizeof report);
    ::_exit(model ? 0 : 1);
  }
  ::close(channel[1]);
  if (child > 0) {
    Report report{};
    const bool reported = ::read(channel[0], &report, sizeof report) == sizeof report;
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0 && reported) {
      result.ok = true;
      result.wall_seconds = report.wall_seconds;
      result.cpu_seconds = report.cpu_seconds;
      result.peak_mb = static_cast<double>(usage.ru_maxrss - base_kb) / 1024.0;
      result.model_mb = report.model_mb;
    }
  }
  ::close(channel[0]);
  return result;
}

void BM_VeloriumReadMps(benchmark::State& state) {
  const std::string& path = benchFile();
  ChildRead read;
  for (auto _ : state) {
    read = readInChild(path);
    if (!read.ok) {
      state.SkipWithError("the MPS reader failed");
      break;
    }
    state.SetIterationTime(read.wall_seconds);
  }
  state.counters["MB/s"] = benchmark::Counter(fileMegabytes(), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["ns_per_nonzero"] = benchmark::Counter(static_cast<double>(kNonzeros) * 1e-9,
                                                        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["peak_MB"] = read.peak_mb;
  state.counters["model_MB"] = read.model_mb;
  state.counters["peak_over_model"] = read.model_mb > 0 ? read.peak_mb / read.model_mb : 0;
}
BENCHMARK(BM_VeloriumReadMps)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

// The same file read again in one process: the names are in the pool already.
void BM_VeloriumReadMpsAgain(benchmark::State& state) {
  const std::string& path = benchFile();
  const velorium::VeloriumLogOptions log = consoleLog();
  std::shared_ptr<velorium::Model> first = velorium::readMpsFile(log, path);
  for (auto _ : state) {
    std::shared_ptr<velorium::Model> model = velorium::readMpsFile(log, path);
    if (!model) {
      state.SkipWithError("the MPS reader failed");
      break;
    }
    state.PauseTiming();
    model.reset();
    state.ResumeTiming();
  }
  state.counters["MB/s"] = benchmark::Counter(fileMegabytes(), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_VeloriumReadMpsAgain)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void runOtherReader(benchmark::State& state, const std::vector<std::string>& arguments) {
  velorium::bench::runOtherReader(state, arguments, fileMegabytes(), static_cast<double>(kNonzeros));
}

void BM_CbcReadMps(benchmark::State& state) { runOtherReader(state, {"cbc", "-import", benchFile(), "-quit"}); }
BENCHMARK(BM_CbcReadMps)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_GlpsolReadMps(benchmark::State& state) { runOtherReader(state, {"glpsol", "--freemps", benchFile(), "--check"}); }
BENCHMARK(BM_GlpsolReadMps)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// cbc and this reader, each a program started afresh, reading the file in turns.
constexpr const char* kReadOnlyFlag = "--velorium-read-mps-only";

void BM_SpeedupOverCbc(benchmark::State& state) {
  const std::string& path = benchFile();
  velorium::bench::compareWithCbc(state, {std::filesystem::read_symlink("/proc/self/exe").string(), kReadOnlyFlag, path}, path);
}
BENCHMARK(BM_SpeedupOverCbc)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();

// The reading mode of this program: reads one file and exits, failing when the reader does.
int readOnly(const char* path) { return velorium::readMpsFile(consoleLog(), path) ? 0 : 1; }

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], kReadOnlyFlag) == 0) return readOnly(argv[2]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
