// Tests against the local calculation service: one service per test suite, a clean journal
// and fault script per test, the client's environment and process-wide parameters pointing at
// it, and virtual time for the client's waits. Skipped where the service or the test trust is
// missing.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "cloud/calculation_state.hpp"
#include "cloud/client_log.hpp"
#include "cloud/root_certificates.hpp"
#include "cloud/support/fake_clock.hpp"
#include "support/calc_service.hpp"

namespace velorium::test {

class ServiceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (CalcService::available() && nimbrova::test_roots_enabled()) service_ = new CalcService();
  }
  static void TearDownTestSuite() {
    delete service_;
    service_ = nullptr;
  }
  void SetUp() override {
    if (!nimbrova::test_roots_enabled()) GTEST_SKIP() << "needs a build with VELORIUM_TEST_TRUST=ON";
    if (!service_) GTEST_SKIP() << "this tree has no local calculation service (tools/calc-service)";
    service_->faults(boost::json::array());
    service_->clear_journal();
    environment_ = service_->client_environment();
    nimbrova::RemoteParameters parameters;
    parameters.string_params[nimbrova::kRemoteSolverAddressParameter] = service_->base();
    nimbrova::set_remote_parameters(parameters);
    nimbrova::clear_current_calculation();
    nimbrova::reset_client_log_for_testing();
    clock_.emplace();
  }
  void TearDown() override {
    clock_.reset();
    nimbrova::set_client_log_tap_for_testing(nullptr);
    nimbrova::reset_client_log_for_testing();
    nimbrova::set_remote_parameters(nimbrova::RemoteParameters());
    nimbrova::clear_current_calculation();
  }
  // The journal's entries of one endpoint since the last clear.
  boost::json::array sent(const std::string& endpoint) const { return journal_of(service_->journal(), endpoint); }

  static inline CalcService* service_ = nullptr;
  std::unique_ptr<CalcService::ClientEnvironment> environment_;
  std::optional<FakeClock> clock_;  // reset it for a test that waits in real time
};

// A small LP in free MPS: max 3 x0 + 2 x1 subject to x0 + x1 <= 4, x0 + 3 x1 <= 6, x0 <= 3.
inline const char* kSmallMps =
    "NAME small\nOBJSENSE\n    MAX\nROWS\n N obj\n L c1\n L c2\nCOLUMNS\n"
    "    x0 obj 3 c1 1\n    x0 c2 1\n    x1 obj 2 c1 1\n    x1 c2 3\nRHS\n    rhs c1 4 c2 6\n"
    "BOUNDS\n UP bnd x0 3\nENDATA\n";

}  // namespace velorium::test
