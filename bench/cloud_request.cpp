// Requests of the calculation client to the local calculation service over loopback: how many
// it makes a second, and what its own part of one costs: the fresh TLS context with the
// built-in roots loaded that every request makes, and the CPU time of the calling thread per
// request (the client's own work; the rest of the wall time is the service and the network).
#include <benchmark/benchmark.h>
#include <openssl/ssl.h>

#include <memory>
#include <string>

#include "bench/cpu_time.hpp"
#include "cloud/calculation_state.hpp"
#include "cloud/client_log.hpp"
#include "cloud/root_certificates.hpp"
#include "cloud/service_requests.hpp"
#include "support/calc_service.hpp"

namespace {

using namespace velorium;

void BM_TlsContextWithRoots(benchmark::State& state) {
  for (auto _ : state) {
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    boost::system::error_code ec;
    nimbrova::load_root_certificates(context, ec);
    if (ec) state.SkipWithError(ec.message().c_str());
    SSL_CTX_free(context);
  }
  state.counters["roots"] = static_cast<double>(nimbrova::kRootCertificateCount);
}
BENCHMARK(BM_TlsContextWithRoots)->Unit(benchmark::kMillisecond);

// A service started for the run, the client pointed at it, and one calculation created there.
struct ServiceWithCalculation {
  test::CalcService service;
  std::unique_ptr<test::CalcService::ClientEnvironment> environment = service.client_environment();
  std::string uid;
  ServiceWithCalculation() {
    nimbrova::RemoteParameters parameters;
    parameters.string_params[nimbrova::kRemoteSolverAddressParameter] = service.base();
    nimbrova::set_remote_parameters(parameters);
    nimbrova::create_calculation();
    uid = nimbrova::current_calc_uid();
  }
};

bool service_available(benchmark::State& state) {
  if (nimbrova::test_roots_enabled() && test::CalcService::available()) return true;
  state.SkipWithError("needs the local calculation service and a build with VELORIUM_TEST_TRUST=ON");
  return false;
}

// One status request (create it once, then poll it) against a service started for the run.
void BM_StatusRequest(benchmark::State& state) {
  if (!service_available(state)) return;
  ServiceWithCalculation run;
  const std::string& uid = run.uid;
  for (auto _ : state) {
    benchmark::DoNotOptimize(nimbrova::get_calc_data(uid, "status", {}, nimbrova::kFetchTimeout));
  }
  state.counters["requests_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StatusRequest)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Receiving a large reply (15 MB of result text; a solve of 10^6 variables and rows brings
// back 60): the process's CPU time per reply and per MB. The service sends the
// text as a scripted reply, so its own time to make a result is not in the wall time either.
void BM_LargeReply(benchmark::State& state) {
  if (!service_available(state)) return;
  ServiceWithCalculation run;
  const std::string& uid = run.uid;
  std::string text;
  for (int j = 0; text.size() < 15'000'000; ++j) text += "x#" + std::to_string(j) + " 0.37512345678901234\n";
  run.service.faults(boost::json::array{boost::json::object{
      {"endpoint", "result"}, {"action", "status"}, {"code", 200}, {"body", text}}});
  double cpu = 0;
  for (auto _ : state) {
    const double start = bench::process_cpu_seconds();
    const auto reply = nimbrova::get_calc_data(uid, "result", {}, nimbrova::kFetchTimeout);
    cpu += bench::process_cpu_seconds() - start;
    if (reply.size() != text.size()) state.SkipWithError("the reply is not the text sent");
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["cpu_s"] = cpu / runs;
  state.counters["cpu_MB_per_s"] = static_cast<double>(text.size()) / 1e6 / (cpu / runs);
}
BENCHMARK(BM_LargeReply)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
