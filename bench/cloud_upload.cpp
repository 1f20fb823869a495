// Compressing and uploading the MPS file of the files benchmark (10^7 nonzeros, about 380 MB)
// to the local calculation service, against `gzip -6` compressing the same file alone, in
// turns within each iteration. Reports the model text's MB/s, the time relative to gzip, and
// the memory the upload needs on top of the process (it streams: the file and the body are
// never held whole).
//
// The service is started with a small model limit, so it refuses to solve what arrives.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/large_model.hpp"
#include "bench/process_memory.hpp"
#include "cloud/calculation_state.hpp"
#include "cloud/multipart_upload.hpp"
#include "cloud/root_certificates.hpp"
#include "cloud/service_requests.hpp"
#include "core/log/log_options.hpp"
#include "formats/mps/mps_writer.hpp"
#include "support/calc_service.hpp"

namespace {

using namespace velorium;
using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void BM_GzipAndUploadMps(benchmark::State& state) {
  if (!nimbrova::test_roots_enabled() || !test::CalcService::available()) {
    state.SkipWithError("needs the local calculation service and a build with VELORIUM_TEST_TRUST=ON");
    return;
  }
  const std::string path = (std::filesystem::temp_directory_path() / "velorium-bench-upload.mps").string();
  {
    bool quiet = false;
    VeloriumLogOptions log;
    log.output_flag = &quiet;
    MpsWriter writer;
    if (writer.writeModelToFile(log, path, bench::largeModel()) != 0) {
      state.SkipWithError("the MPS file was not written");
      return;
    }
  }
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  test::CalcService service({}, {"--max-model-bytes", "1000", "--max-upload-bytes", "2000000000"});
  const auto environment = service.client_environment();
  nimbrova::RemoteParameters parameters;
  parameters.string_params[nimbrova::kRemoteSolverAddressParameter] = service.base();
  nimbrova::set_remote_parameters(parameters);

  double upload_seconds = 0;
  double gzip_seconds = 0;
  std::size_t peak = 0;
  for (auto _ : state) {
    const Clock::time_point gzip_start = Clock::now();
    if (std::system(("gzip -6 -c '" + path + "' > /dev/null").c_str()) != 0) state.SkipWithError("gzip failed");
    gzip_seconds += seconds_since(gzip_start);

    nimbrova::create_calculation();
    const nimbrova::CalculationInfo calculation = nimbrova::current_calculation_copy();
    const bench::PeakMemoryProbe memory;
    const Clock::time_point upload_start = Clock::now();
    nimbrova::upload_file(calculation, std::make_unique<nimbrova::TemporaryFile>(path, "", "", false, false), true,
                          nullptr, nullptr);
    upload_seconds += seconds_since(upload_start);
    peak = std::max(peak, memory.growth_bytes());
  }
  const auto runs = static_cast<double>(state.iterations());
  state.counters["model_MB"] = megabytes;
  state.counters["upload_MB_per_s"] = megabytes * runs / upload_seconds;
  state.counters["gzip6_MB_per_s"] = megabytes * runs / gzip_seconds;
  state.counters["upload_vs_gzip6"] = upload_seconds / gzip_seconds;
  state.counters["peak_extra_MB"] = static_cast<double>(peak) / 1e6;
  std::filesystem::remove(path);
}
BENCHMARK(BM_GzipAndUploadMps)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
