// A model of 10^6 nonzeros solved remotely against the local calculation service, with the
// time of each phase: preparing (options, writing the MPS file while its gzip member is made
// beside it, start of the client), the create request, compressing (what is left of it: the
// member copied into the upload body), uploading, waiting (the service's solve and the 3-second
// polls), and reading the result (result and details requests, the solution text, the
// result object and its values array). The phases are told apart by the client log's texts.
// The wall time of the create, upload and result phases includes the service's side (the
// local service is Python); own_s counts the client's own work (see below), own_cpu_s is this
// process's CPU time outside the wait, every thread's.
// For comparison: writing the same model as MPS alone (nothing compressed), and reading a
// result text of 2 * 10^6 values held in memory.
//
// The model: 10^6 variables in [0, 1] with varied objective coefficients, each bounded again
// by a row of its own (10^6 nonzeros), maximised: an LP that the service's presolver solves
// at once, whose result holds 10^6 values, 10^6 dual values and 10^6 reduced costs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "bench/cpu_time.hpp"
#include "cloud/client_log.hpp"
#include "cloud/remote_calculation_result.hpp"
#include "cloud/root_certificates.hpp"
#include "cloud/solve_result_remote.hpp"
#include "core/model/model_impl.hpp"
#include "core/text/message_catalogue.hpp"
#include "formats/solution/solution_reader.hpp"
#include "support/calc_service.hpp"

namespace {

using namespace velorium;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t kVariables = 1'000'000;

double seconds_between(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

IModel* remote_bench_model(const std::string& temp_folder) {
  auto* model = static_cast<cpp_impl::ModelImpl*>(CreateModel());
  model->SetName("remote-bench");
  model->SetBoolParam("log_to_console", false);
  model->SetStringParam("temp_folder_path", temp_folder.c_str());
  std::vector<double> objective(kVariables);
  for (std::int32_t j = 0; j < kVariables; ++j) objective[j] = 1.0 + static_cast<double>(j % 97) / 10.0;
  const double lower = 0.0;
  const double upper = 1.0;
  const std::int32_t type = 0;
  model->AddVariables(kVariables, &lower, 1, &upper, 1, objective.data(), objective.size(), &type, 1);
  const double one = 1.0;
  for (std::int32_t j = 0; j < kVariables; ++j) {
    model->AddConstraintLinearSparse(&one, &j, 1, constraint_sense::less_equal, 0.5 + (j % 10) / 20.0);
  }
  model->SetObjectiveSense(objective_sense::maximize);
  return model;
}

// A moment: wall clock and the process's CPU time.
struct Moment {
  Clock::time_point wall{};
  double cpu = 0;
  static Moment now() { return {Clock::now(), bench::process_cpu_seconds()}; }
  bool unset() const { return wall == Clock::time_point{}; }
};

// When each phase ended, from the texts the client logs.
struct PhaseClock {
  std::mutex mutex;
  Moment banner, create_done, compress_done, upload_done, last_text;
  bool model_upload_line = false;

  void note(std::string_view text) {
    std::lock_guard lock(mutex);
    const Moment now = Moment::now();
    if (banner.unset() && text.starts_with("Запуск Nimbrova")) banner = now;
    if (text == get_message(172)) create_done = now;
    if (text.starts_with(std::string("\r") + get_message(176))) {
      if (!model_upload_line) compress_done = now;
      model_upload_line = true;
    }
    if (text == "\n" && model_upload_line && upload_done.unset()) upload_done = now;
    last_text = now;
  }
};

void BM_SolveRemotePhases(benchmark::State& state) {
  if (!nimbrova::test_roots_enabled() || !test::CalcService::available()) {
    state.SkipWithError("needs the local calculation service and a build with VELORIUM_TEST_TRUST=ON");
    return;
  }
  test::ScratchDir temp;
  test::CalcService service({}, {"--max-solve-seconds", "600"});
  const auto environment = service.client_environment();
  IModel* model = remote_bench_model(temp.path().string());

  double write_alone = 0, prepare = 0, create = 0, compress = 0, upload = 0, waiting = 0, reading = 0;
  double own = 0, own_cpu = 0, prepare_cpu = 0, compress_cpu = 0, upload_cpu = 0, reading_cpu = 0;
  for (auto _ : state) {
    const std::string mps = temp.file("alone.mps");
    const Clock::time_point write_start = Clock::now();
    model->WriteMps(mps.c_str(), "");
    write_alone += seconds_between(write_start, Clock::now());
    std::filesystem::remove(mps);

    PhaseClock phases;
    nimbrova::set_client_log_tap_for_testing([&](std::string_view text) { phases.note(text); });
    const Moment start = Moment::now();
    ISolveResult* result = model->SolveRemote(nullptr);
    std::uint64_t count = 0;
    if (!result || !dynamic_cast<ISolveResultEx&>(*result).GetValuesArray(&count) || count != kVariables) {
      state.SkipWithError("the remote solve gave no full result");
      break;
    }
    const Moment end = Moment::now();
    nimbrova::set_client_log_tap_for_testing(nullptr);
    prepare += seconds_between(start.wall, phases.banner.wall);
    create += seconds_between(phases.banner.wall, phases.create_done.wall);
    compress += seconds_between(phases.create_done.wall, phases.compress_done.wall);
    upload += seconds_between(phases.compress_done.wall, phases.upload_done.wall);
    waiting += seconds_between(phases.upload_done.wall, phases.last_text.wall);
    reading += seconds_between(phases.last_text.wall, end.wall);
    // Everything but the wait: this process's own CPU time, the service's excluded.
    own_cpu += (phases.upload_done.cpu - start.cpu) + (end.cpu - phases.last_text.cpu);
    prepare_cpu += phases.banner.cpu - start.cpu;
    compress_cpu += phases.compress_done.cpu - phases.create_done.cpu;
    upload_cpu += phases.upload_done.cpu - phases.compress_done.cpu;
    reading_cpu += end.cpu - phases.last_text.cpu;
    // The client's own work as its caller waits for it: the wall time of the phases that are
    // the client's alone (preparing, compressing), and this process's CPU time of those that
    // the service shares (create, upload, result), whose wall time is mostly the service's.
    own += seconds_between(start.wall, phases.banner.wall) +
           seconds_between(phases.create_done.wall, phases.compress_done.wall) +
           (phases.create_done.cpu - phases.banner.cpu) + (phases.upload_done.cpu - phases.compress_done.cpu) +
           (end.cpu - phases.last_text.cpu);
    result->Release();
  }
  const auto runs = static_cast<double>(state.iterations());
  state.counters["write_mps_alone_s"] = write_alone / runs;
  state.counters["prepare_s"] = prepare / runs;
  state.counters["create_s"] = create / runs;
  state.counters["compress_s"] = compress / runs;
  state.counters["upload_s"] = upload / runs;
  state.counters["waiting_s"] = waiting / runs;
  state.counters["result_s"] = reading / runs;
  state.counters["own_cpu_s"] = own_cpu / runs;
  state.counters["prepare_cpu_s"] = prepare_cpu / runs;
  state.counters["compress_cpu_s"] = compress_cpu / runs;
  state.counters["upload_cpu_s"] = upload_cpu / runs;
  state.counters["result_cpu_s"] = reading_cpu / runs;
  state.counters["own_cpu_vs_write"] = own_cpu / write_alone;
  state.counters["own_s"] = own / runs;
  state.counters["own_vs_write"] = own / write_alone;
  model->Release();
}
BENCHMARK(BM_SolveRemotePhases)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

// Reading a result text of 10^6 values and 10^6 reduced costs held in memory into the result
// object (parse_s), then its values array (array_s).
void BM_ReadResultText(benchmark::State& state) {
  test::ScratchDir temp;
  IModel* model = remote_bench_model(temp.path().string());
  // As the service writes it: the members in the order of the uploaded file.
  std::string text = "# Velorium Solution File Version 1.1\n\n# Objective Value 1\n\n# Reduced Costs\n";
  for (std::int32_t j = 0; j < kVariables; ++j) text += "x#" + std::to_string(j) + " " + std::to_string(-0.125 * (j % 7)) + "\n";
  text += "# Columns " + std::to_string(kVariables) + "\n";
  for (std::int32_t j = 0; j < kVariables; ++j) text += "x#" + std::to_string(j) + (j % 2 ? " 1\n" : " 0.37512345678901234\n");
  double parse = 0, arrays = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    nimbrova::RemoteCalculationResult record;
    // As the client reads it: checked (heading, count, numbers) on the way; the result object
    // then checks that every column of the model has its value.
    const std::string refused = readResultText(record.solution, text.data(), text.size());
    if (!refused.empty()) {
      state.SkipWithError(refused.c_str());
      break;
    }
    record.statistics["objective"] = 1.0;
    record.outcome_text = "done";
    record.solution_status_word = "optimal";
    cpp_impl::SolveResultRemote result(static_cast<cpp_impl::ModelImpl*>(model)->store(), std::move(record), {});
    parse += seconds_between(start, Clock::now());
    if (result.GetSolveResult() != solve_result::success) {
      state.SkipWithError(result.GetErrorText());
      break;
    }
    start = Clock::now();
    benchmark::DoNotOptimize(result.GetValuesArray(nullptr));
    arrays += seconds_between(start, Clock::now());
  }
  state.counters["parse_s"] = parse / static_cast<double>(state.iterations());
  state.counters["array_s"] = arrays / static_cast<double>(state.iterations());
  state.counters["MB_per_s"] = benchmark::Counter(static_cast<double>(text.size()) / 1e6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
  state.counters["text_MB"] = static_cast<double>(text.size()) / 1e6;
  model->Release();
}
BENCHMARK(BM_ReadResultText)->Unit(benchmark::kMillisecond)->Iterations(12);

}  // namespace

BENCHMARK_MAIN();
