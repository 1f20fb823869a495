// The library's process-wide state in a fresh process (the library's objects linked in):
// what loading built and in which order, that it created no core object, that the first
// name interned gets id 0, that the first model's numeric-locale step runs once, and, at
// exit, that the state is torn down in the reverse order and that nothing torn down is
// handed out any more.
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "cloud/client_process_state.hpp"
#include "core/base/kernel.hpp"
#include "core/capi/log_callback_table.hpp"
#include "core/names/names_holder.hpp"
#include "core/options/velorium_options.hpp"
#include "core/startup/numeric_locale.hpp"
#include "core/startup/process_state.hpp"
#include "formats/lp/lp_keywords.hpp"
#include "support/comma_locale.hpp"
#include "support/recording_objects.hpp"
#include "velorium/velorium.h"

namespace {

using velorium::startup::StartupStep;

constexpr StartupStep kBuildOrder[] = {
    StartupStep::kernel_cleanup,  StartupStep::log_callback_table,  StartupStep::names_pool,
    StartupStep::ctype_locale,    StartupStep::lp_section_keywords, StartupStep::client_state,
};

int failures = 0;

void check(bool condition, const char* what) {
  std::printf("%s: %s\n", condition ? "ok" : "FAILED", what);
  if (!condition) ++failures;
}

bool numericLocaleIsComma() {
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 2.5);
  return std::string(probe) == "2,5";
}

// An options object that outlives the option registry, as one inside a model that a host
// releases late.
velorium::VeloriumOptions* late_options = nullptr;

// A model that a host never released through Model_Release before exit, with a log function
// installed through the function interface; it logs through whatever receiver it holds.
class LateModel : public velorium::testing::RecordingMatrixModel {
 public:
  void SetLogCallback(velorium::ILogCallback* callback) override { receiver_ = callback; }
  void Release() override { released = true; }
  void log(const char* text) {
    if (receiver_ != nullptr) receiver_->LogMessage(text);
  }
  bool has_receiver() const { return receiver_ != nullptr; }
  bool released = false;

 private:
  velorium::ILogCallback* receiver_ = nullptr;
};
LateModel late_model;
int late_lines = 0;
void countLine(const char*, void*) { ++late_lines; }

std::size_t torn_down_count = 0;
int teardown_failures = 0;

void expect_at_teardown(bool condition, const char* what) {
  std::printf("%s: %s\n", condition ? "ok" : "FAILED", what);
  if (!condition) ++teardown_failures;
}

// Runs on the exiting thread as each step goes; the exit status can no longer be returned
// from main, so a failure ends the process with status 1.
void observeTeardown(StartupStep step) {
  const std::size_t expected_index = std::size(kBuildOrder) - 1 - torn_down_count++;
  expect_at_teardown(step == kBuildOrder[expected_index], "steps are torn down in the reverse order");
  switch (step) {
    case StartupStep::client_state:
      expect_at_teardown(velorium::find_option_index(*late_options, late_options->records[0]->name) == -1,
                         "the option registry went first: a late options object finds no option");
      expect_at_teardown(velorium::nimbrova::client_process_state() == nullptr, "no client state after its teardown");
      break;
    case StartupStep::lp_section_keywords:
      expect_at_teardown(velorium::findLpSection("end") == velorium::LpSection::none,
                         "no keyword table after its teardown");
      break;
    case StartupStep::names_pool:
      expect_at_teardown(velorium::get_names_holder() == nullptr, "no pool after its teardown");
      try {
        velorium::cpp_impl::kernel_names_holder();
        expect_at_teardown(false, "the core object hands out no pool after the pool's teardown");
      } catch (const velorium::velorium_exception&) {
        expect_at_teardown(true, "the core object hands out no pool after the pool's teardown");
      }
      break;
    case StartupStep::log_callback_table:
      expect_at_teardown(velorium::capi::log_callback_table() == nullptr, "no adapter table after its teardown");
      late_model.log("after the table");  // through the adapter the table held: silenced, not destroyed
      expect_at_teardown(late_lines == 1, "an adapter left in the table is silenced at teardown");
      Model_SetLogCallbackFn(&late_model, countLine, nullptr);
      expect_at_teardown(!late_model.has_receiver(), "no new adapter after the table's teardown");
      Model_Release(&late_model);
      expect_at_teardown(late_model.released, "a model is released after the table's teardown");
      break;
    case StartupStep::kernel_cleanup:
      expect_at_teardown(velorium::cpp_impl::current_kernel() == nullptr, "the core object is destroyed last");
      expect_at_teardown(!velorium::cpp_impl::get_or_create_kernel(), "no core object is made after teardown");
      delete late_options;
      expect_at_teardown(torn_down_count == std::size(kBuildOrder), "every step was torn down");
      std::printf("teardown: %d failed\n", teardown_failures);
      std::fflush(stdout);
      if (teardown_failures != 0) _exit(1);
      break;
    default:
      break;
  }
}

}  // namespace

int main() {
  using namespace velorium;

  // What loading did.
  check(startup::built_step_count() == std::size(kBuildOrder), "every step was built at load");
  bool in_order = startup::built_step_count() == std::size(kBuildOrder);
  for (std::size_t k = 0; in_order && k < std::size(kBuildOrder); ++k) in_order = startup::built_step(k) == kBuildOrder[k];
  check(in_order, "the steps were built in their order");
  check(cpp_impl::current_kernel() == nullptr, "loading creates no core object");
  check(capi::log_callback_adapter_count() == 0, "the adapter table starts empty");
  check(get_names_holder() != nullptr && get_names_holder()->size() == 0, "loading interns no name");
  const nimbrova::ClientProcessState* client = nimbrova::client_process_state();
  check(client != nullptr && client->current_calculation.calc_uid.empty() &&
            client->remote_parameters.string_params.at(nimbrova::kRemoteSolverAddressParameter) ==
                nimbrova::kDefaultCalculationsAddress,
        "the client's state: no calculation, the default calculations address");

  // The first name interned in the process.
  check(get_names_holder()->find_or_add_name("first") == 0, "the first name interned gets id 0");
  check(get_names_holder()->find_or_add_name("second") == 1, "the next one gets id 1");

  // The first model's numeric-locale step: a comma decimal point becomes ".", once.
  {
    test::ScopedCommaLocale comma;
    if (comma.active()) {
      cpp_impl::use_point_as_decimal_separator_once();
      check(!numericLocaleIsComma(), "the first step replaces a comma decimal point");
      std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
      const bool comma_again = numericLocaleIsComma();
      cpp_impl::use_point_as_decimal_separator_once();
      check(!comma_again || numericLocaleIsComma(), "later calls leave the numeric locale alone");
    } else {
      std::printf("skipped: no locale with a comma decimal point could be made\n");
    }
  }

  // Objects made after load: the core object and the option registry.
  check(cpp_impl::get_or_create_kernel(), "the core object appears at first use");
  late_options = new VeloriumOptions();
  check(find_option_index(*late_options, late_options->records[0]->name) == 0, "the option registry answers");

  Model_SetLogCallbackFn(&late_model, countLine, nullptr);
  late_model.log("before exit");
  check(late_lines == 1 && capi::log_callback_adapter_count() == 1, "a log function is installed");

  startup::set_teardown_observer_for_testing(&observeTeardown);
  std::printf("%d failed before exit\n", failures);
  return failures == 0 ? 0 : 1;
}
