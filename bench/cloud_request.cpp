// Requests of the calculation client to the local calculation service over loopback: how many
// it makes a second, and what its own part of one costs: the fresh TLS context with the
// built-in roots loaded that every request makes, and the CPU time of the calling thread per
// request (the client's own work; the rest of the wall time is the service and the network).
#include <benchmark/benchmark.h>
#include <openssl/ssl.h>

#include <memory>
#include <string>

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

// One status request (create it once, then poll it) against a service started for the run.
void BM_StatusRequest(benchmark::State& state) {
  if (!nimbrova::test_roots_enabled() || !test::CalcService::available()) {
    state.SkipWithError("needs the local calculation service and a build with VELORIUM_TEST_TRUST=ON");
    return;
  }
  test::CalcService service;
  const auto environment = service.client_environment();
  nimbrova::RemoteParameters parameters;
  parameters.string_params[nimbrova::kRemoteSolverAddressParameter] = service.base();
  nimbrova::set_remote_parameters(parameters);
  nimbrova::create_calculation();
  const std::string uid = nimbrova::current_calc_uid();
  for (auto _ : state) {
    benchmark::DoNotOptimize(nimbrova::get_calc_data(uid, "status", {}, nimbrova::kFetchTimeout));
  }
  state.counters["requests_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StatusRequest)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
