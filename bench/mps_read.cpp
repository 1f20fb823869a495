// Reading a large free-format MPS file (10^6 columns, 10^7 nonzeros): throughput, time per
// nonzero and peak memory of the MPS reader, against cbc and glpsol reading the same file.
//
// Counters: MB/s; ns_per_nonzero; peak_MB (the process's VmHWM during the reading, reset
// before it); model_MB (the memory the read model holds, capacities included); for the
// other readers peak_MB is the child process's maximum resident set.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

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

extern char** environ;

namespace {

constexpr int kColumns = 1000000;
constexpr int kRows = 100000;
constexpr int kEntriesPerColumn = 10;  // one objective entry and nine row entries
constexpr std::int64_t kNonzeros = std::int64_t{kColumns} * kEntriesPerColumn;

// Appends text to a buffer that goes to the file in large pieces.
class Out {
 public:
  explicit Out(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ~Out() {
    flush();
    if (file_) std::fclose(file_);
  }
  Out& operator<<(const char* text) {
    std::size_t n = std::strlen(text);
    std::memcpy(reserve(n), text, n);
    used_ += n;
    return *this;
  }
  Out& operator<<(long value) {
    char* at = reserve(24);
    used_ = static_cast<std::size_t>(std::to_chars(at, at + 24, value).ptr - buffer_.data());
    return *this;
  }
  Out& operator<<(double value) {
    char* at = reserve(32);
    used_ = static_cast<std::size_t>(std::to_chars(at, at + 32, value).ptr - buffer_.data());
    return *this;
  }

 private:
  char* reserve(std::size_t n) {
    if (used_ + n > buffer_.size()) flush();
    return buffer_.data() + used_;
  }
  void flush() {
    if (file_ && used_) std::fwrite(buffer_.data(), 1, used_, file_);
    used_ = 0;
  }
  std::FILE* file_;
  std::vector<char> buffer_ = std::vector<char>(1 << 20);
  std::size_t used_ = 0;
};

// A file every reader of the comparison accepts: ROWS, COLUMNS with two pairs a line and a
// block of integer columns, RHS, RANGES and BOUNDS.
const std::string& benchFile() {
  static const std::string path = [] {
    std::string file = (std::filesystem::temp_directory_path() / "velorium-bench-mps-read.mps").string();
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> row_of(0, kRows - 1);
    std::uniform_int_distribution<int> milli(-9999, 9999);
    Out out(file);
    out << "NAME          BENCH\nROWS\n N  obj\n";
    for (long r = 0; r < kRows; ++r) out << (r % 3 == 0 ? " L  r" : r % 3 == 1 ? " G  r" : " E  r") << r << "\n";
    out << "COLUMNS\n";
    for (long c = 0; c < kColumns; ++c) {
      if (c == kColumns / 2) out << "    MARKER                 'MARKER'                 'INTORG'\n";
      if (c == kColumns / 2 + 1000) out << "    MARKER                 'MARKER'                 'INTEND'\n";
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
        out << "    x" << c << "  ";
        if (k == 0) {
          out << "obj";
        } else {
          out << "r" << static_cast<long>(rows[k - 1]);
        }
        out << "  " << (milli(random) + 0.5) / 1000.0 << "  r" << static_cast<long>(rows[k]) << "  "
            << (milli(random) + 0.5) / 1000.0 << "\n";
      }
    }
    out << "RHS\n";
    for (long r = 0; r < kRows; ++r) out << "    RHS  r" << r << "  " << static_cast<double>(r % 100) << "\n";
    out << "RANGES\n";
    for (long r = 0; r < kRows; r += 10) out << "    RNG  r" << r << "  " << 5.0 << "\n";
    out << "BOUNDS\n";
    for (long c = 0; c < kColumns; c += 7) out << " UP BND  x" << c << "  " << static_cast<double>(c % 50 + 1) << "\n";
    out << "ENDATA\n";
    std::atexit([] { std::filesystem::remove(std::filesystem::temp_directory_path() / "velorium-bench-mps-read.mps"); });
    return file;
  }();
  return path;
}

double fileMegabytes() { return static_cast<double>(std::filesystem::file_size(benchFile())) / 1e6; }

long statusKilobytes(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::strlen(key)));
  }
  return -1;
}

void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

template <typename T>
double bytesOf(const std::vector<T>& v) {
  return static_cast<double>(v.capacity() * sizeof(T));
}

double modelBytes(const velorium::Model& model) {
  double bytes = sizeof model + bytesOf(model.rows) + bytesOf(model.variables) + bytesOf(model.general_constraints);
  bytes += bytesOf(model.objective.linear_terms) + bytesOf(model.objective.quadratic_terms);
  for (const velorium::Constraint& row : model.rows) {
    bytes += bytesOf(row.expression.linear_terms) + bytesOf(row.expression.quadratic_terms);
  }
  return bytes;
}

void BM_VeloriumReadMps(benchmark::State& state) {
  const std::string& path = benchFile();
  bool on = true;
  bool console = true;
  velorium::VeloriumLogOptions log;
  log.output_flag = &on;
  log.log_to_console = &console;
  double peak_mb = 0;
  double model_mb = 0;
  for (auto _ : state) {
    resetPeakMemory();
    const long before = statusKilobytes("VmRSS:");
    std::shared_ptr<velorium::Model> model = velorium::readMpsFile(log, path);
    if (!model) {
      state.SkipWithError("the MPS reader failed");
      break;
    }
    peak_mb = static_cast<double>(statusKilobytes("VmHWM:") - before) / 1024.0;
    model_mb = modelBytes(*model) / (1024.0 * 1024.0);
    state.PauseTiming();
    model.reset();
    state.ResumeTiming();
  }
  state.counters["MB/s"] = benchmark::Counter(fileMegabytes(), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["ns_per_nonzero"] = benchmark::Counter(static_cast<double>(kNonzeros) * 1e-9,
                                                        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["peak_MB"] = peak_mb;
  state.counters["model_MB"] = model_mb;
  state.counters["peak_over_model"] = model_mb > 0 ? peak_mb / model_mb : 0;
}
BENCHMARK(BM_VeloriumReadMps)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Runs a program on the benchmark file; returns its maximum resident set in MB, or a
// negative value when it could not be run or failed.
double runProgram(std::vector<std::string> arguments) {
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
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status)) return -1;
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void runOtherReader(benchmark::State& state, const std::vector<std::string>& arguments) {
  benchFile();
  double peak_mb = 0;
  for (auto _ : state) {
    peak_mb = runProgram(arguments);
    if (peak_mb < 0) {
      state.SkipWithError(("cannot run " + arguments[0]).c_str());
      break;
    }
  }
  state.counters["MB/s"] = benchmark::Counter(fileMegabytes(), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["ns_per_nonzero"] = benchmark::Counter(static_cast<double>(kNonzeros) * 1e-9,
                                                        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["peak_MB"] = peak_mb;
}

void BM_CbcReadMps(benchmark::State& state) { runOtherReader(state, {"cbc", "-import", benchFile(), "-quit"}); }
BENCHMARK(BM_CbcReadMps)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_GlpsolReadMps(benchmark::State& state) { runOtherReader(state, {"glpsol", "--freemps", benchFile(), "--check"}); }
BENCHMARK(BM_GlpsolReadMps)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
