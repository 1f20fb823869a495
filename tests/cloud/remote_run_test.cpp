// A whole remote calculation run by the client against the local service: what its log shows
// for scripted status sequences, outages and a missing key (interrupts: interrupt_cancel_test).
#include "cloud/nimbrova_client.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "cloud/calculation_state.hpp"
#include "cloud/client_log.hpp"
#include "cloud/service_requests.hpp"
#include "cloud/support/service_fixture.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium::nimbrova {
namespace {

namespace json = boost::json;
using namespace std::chrono_literals;

// A value of the result's solution, held by name or in the file's order.
double value_in(const SolutionData& solution, const std::string& name) {
  if (!solution.source) return solution.values.at(name);
  ensure_solution_index(*solution.source);
  return solution.source->values_by_name.at(name);
}

json::object status(const char* word, bool log_full) { return json::object{{"status", word}, {"log_full", log_full}}; }

class RemoteRunTest : public test::ServiceTest {
 protected:
  void SetUp() override {
    test::ServiceTest::SetUp();
    if (IsSkipped()) return;
    set_client_log_tap_for_testing([this](std::string_view text) {
      std::lock_guard lock(log_mutex_);
      log_ += text;
    });
  }
  // A client for the small model, as a model's remote solve makes it.
  std::unique_ptr<Client> client(int remote_timeout = 300) {
    RemoteParameters parameters;
    parameters.string_params["solver"] = "best";
    parameters.int_params["remote_timeout"] = remote_timeout;
    parameters.bool_params["log_to_console"] = false;
    files_.write("small.mps", test::kSmallMps);
    auto model = std::make_unique<TemporaryFile>("small.mps", "", files_.path().string(), true, false);
    return std::make_unique<Client>(std::move(model), parameters, nullptr);
  }
  // Scripts for the next calculation created.
  void script(json::array statuses, json::array pieces = {}) {
    service_->status_script(statuses);
    if (!pieces.empty()) service_->log_script(pieces);
  }
  std::string log() {
    std::lock_guard lock(log_mutex_);
    return log_;
  }
  // What the log shows from the first poll on.
  std::string polling_log() {
    const std::string text = log();
    const std::size_t start = text.find(get_message(167));
    return start == std::string::npos ? "<no first poll>" : text.substr(start);
  }
  void TearDown() override {
    if (service_) {
      service_->status_script({});
      service_->log_script({});
    }
    test::ServiceTest::TearDown();
  }
  test::ScratchDir files_;
  std::mutex log_mutex_;
  std::string log_;
};

TEST_F(RemoteRunTest, DoneWithTheWholeLogAtTheFirstPoll) {
  script({status("done", true)}, {"the whole log\n"});
  const RemoteCalculationResult result = client()->solve();
  EXPECT_EQ(polling_log(), std::string(get_message(167)) + "the whole log\n");
  ASSERT_EQ(result.outcome_text, "done");
  ASSERT_EQ(result.statistics.count("objective"), 1u) << log();
  EXPECT_EQ(result.statistics.at("objective"), 11.0);
  EXPECT_EQ(value_in(result.solution, "x0"), 3.0);
  EXPECT_EQ(result.solution_status_word, "optimal");
  EXPECT_EQ(sent("result").size(), 1u);
  EXPECT_EQ(sent("details").size(), 1u);
}

TEST_F(RemoteRunTest, QueuedThenCalculatingThenDone) {
  script({"queued", "queued", "calculating", "calculating", status("done", false), status("done", true)},
         {"p1\n", "p2\n", "p3\n", "p4\n", "p5\n", "p6\n"});
  const RemoteCalculationResult result = client()->solve();
  EXPECT_EQ(polling_log(), std::string(get_message(167)) + " ." + "\n\n" + "p1\np2\np3\n" + "p4\n" + "p5\np6\n");
  EXPECT_EQ(result.outcome_text, "done");
  EXPECT_EQ(sent("status").size(), 6u);
  EXPECT_EQ(sent("result").size(), 1u);
}

TEST_F(RemoteRunTest, CalculatingFromTheStartShowsNoBlankLines) {
  script({"calculating", "calculating", status("done", true)}, {"a\n", "b\n", "c\n"});
  client()->solve();
  EXPECT_EQ(polling_log(), std::string(get_message(167)) + "a\nb\n" + "c\n");
}

TEST_F(RemoteRunTest, ALogThatGrowsByOneByteShowsThatByte) {
  script({"calculating", "calculating", "calculating", status("done", true)}, {"abc", "", "d", ""});
  client()->solve();
  EXPECT_EQ(polling_log(), std::string(get_message(167)) + "abc" + "d");
  const json::array logs = sent("log");
  ASSERT_GE(logs.size(), 2u);
  EXPECT_EQ(test::journal_header(logs.at(1), "Range"), "bytes=2-");
}

TEST_F(RemoteRunTest, ALogThatIgnoresTheRangeShowsEachByteOnce) {
  service_->faults({json::object{{"endpoint", "log"}, {"action", "ignore_range"}}});
  script({"calculating", "calculating", "calculating", status("done", true)}, {"abc", "def", "", "ghi"});
  client()->solve();
  EXPECT_EQ(polling_log(), std::string(get_message(167)) + "abcdef" + "ghi");
  const json::array logs = sent("log");
  ASSERT_EQ(logs.size(), 3u);
  EXPECT_EQ(test::journal_header(logs.at(1), "Range"), "bytes=5-");  // asked for, and ignored
  EXPECT_EQ(logs.at(1).at("reply_status").to_number<int>(), 200);
}

TEST_F(RemoteRunTest, TheResultIsTheRealReplyNeverAnInterimOneNorAnotherStatusesBody) {
  const auto rule = [](const char* endpoint, const char* action) {
    return json::object{{"endpoint", endpoint}, {"action", action}};
  };
  json::object moved = rule("result", "status");
  moved["code"] = 307;
  moved["body"] = "# Velorium Solution File Version 1.1\n\n# Objective Value 99\n# Columns 2\nx0 9\nx1 9\n";
  json::object hints = rule("result", "interim");
  hints["codes"] = json::array{100, 103};
  struct Case {
    const char* what;
    json::array faults;
    const char* failure;  // in the client log; "" for a result read whole
  };
  const Case cases[] = {
      {"interim replies before the result and the details", {hints, rule("details", "interim")}, ""},
      {"a 307 with a solution text", {moved}, "Http result : 307"},
      {"a redirect to a redirect", {rule("result", "redirect"), rule("storage_result", "redirect")},
       "Http result : 302"},
  };
  for (const Case& c : cases) {
    service_->faults(c.faults);
    const RemoteCalculationResult result = client()->solve();
    const std::string failure = c.failure;
    if (failure.empty()) {
      EXPECT_EQ(result.outcome_text, "done") << c.what;
      EXPECT_EQ(value_in(result.solution, "x0"), 3.0) << c.what;
      EXPECT_EQ(result.solution_status_word, "optimal") << c.what;
    } else {
      EXPECT_NE(log().find(std::string(get_message(170)) + failure), std::string::npos) << c.what << ": " << log();
      EXPECT_EQ(result.solution.source, nullptr) << c.what;
      EXPECT_TRUE(result.solution.values.empty()) << c.what;
      EXPECT_TRUE(result.statistics.empty()) << c.what;
    }
  }
}

TEST_F(RemoteRunTest, AnErrorShowsTheLastLogPieceAndTheReason) {
  json::object error{{"status", "error"}, {"minor", "TIME_PER_CALC_VIOLATED"}};
  script({"calculating", error}, {"x\n", "y\n"});
  const RemoteCalculationResult result = client()->solve();
  EXPECT_EQ(polling_log(), std::string(get_message(167)) + "x\ny\n" + "error: TIME_PER_CALC_VIOLATED");
  EXPECT_EQ(result.outcome_text, "error: TIME_PER_CALC_VIOLATED");
  EXPECT_TRUE(result.solution.values.empty());
  EXPECT_EQ(result.solution.source, nullptr);
  EXPECT_TRUE(sent("result").empty());
}

// What the service sends reaches the console and the log file without the control characters
// a terminal acts on (escape sequences, bells, C1 controls); line feeds and tabs stay.
TEST_F(RemoteRunTest, ServiceTextsAreShownWithoutControlCharacters) {
  json::object error{{"status", "error"}, {"minor", "BAD\x1b[31mREASON\x07"}};
  script({"calculating", error}, {"one\x1b]0;title\x07\tend\r\n", "two\xc2\x9b""2J\x7f\n"});
  const RemoteCalculationResult result = client()->solve();
  EXPECT_EQ(polling_log(), std::string(get_message(167)) + "one]0;title\tend\n" + "two2J\n" + "error: BAD[31mREASON");
  EXPECT_EQ(result.outcome_text, "error: BAD[31mREASON");
  const std::string text = log();
  EXPECT_EQ(text.find_first_of("\x1b\x07\x7f"), std::string::npos);  // (its own progress lines hold "\r")
  EXPECT_EQ(text.find("\xc2\x9b"), std::string::npos);
  EXPECT_NE(text.find("UID: " + current_calc_uid() + "\n"), std::string::npos);
}

// A reply that is no result text fails the solve as any reply the client cannot read: logged
// with its reason, which the record keeps; no solution, no statistics.
TEST_F(RemoteRunTest, AResultTextThatIsNoneFailsTheSolveWithItsReason) {
  script({status("done", true)});
  service_->faults({json::object{{"endpoint", "result"}, {"action", "empty"}}});
  const RemoteCalculationResult result = client()->solve();
  const std::string reason = "the calculation's result text is empty";
  EXPECT_TRUE(log().ends_with(get_message(170) + reason + "\n")) << log();
  EXPECT_EQ(result.outcome_text, "");
  EXPECT_EQ(result.failure_text, std::string(get_message(170)).substr(1) + reason);
  EXPECT_TRUE(result.statistics.empty());
  EXPECT_EQ(result.solution.source, nullptr);
  EXPECT_TRUE(sent("details").empty());
}

TEST_F(RemoteRunTest, AnOutageLongerThanTheTimeoutEndsTheSolve) {
  service_->faults({json::object{{"endpoint", "status"}, {"action", "drop"}}});
  const RemoteCalculationResult result = client(10)->solve();
  const std::string text = log();
  EXPECT_TRUE(text.ends_with(std::string(get_message(166)) + get_message(178))) << text;
  EXPECT_EQ(result.outcome_text, "");
  EXPECT_EQ(text.find(get_message(167)), std::string::npos);
  // Each poll fails after 3 attempts; the run of failures begins with the first (3.3 s of
  // virtual time) and the fifth, 13.2 s later, is the first past 10 s.
  EXPECT_EQ(sent("status").size(), 15u);
}

TEST_F(RemoteRunTest, AnOutageThatRecoversInTimeDoesNotEndTheSolve) {
  json::array failing;
  for (int attempt : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19}) failing.push_back(attempt);
  service_->faults({json::object{{"endpoint", "status"}, {"action", "drop"}, {"attempts", failing}}});
  script({"calculating", status("done", true)});
  const RemoteCalculationResult result = client(10)->solve();
  ASSERT_EQ(result.outcome_text, "done") << log();
  EXPECT_EQ(log().find(get_message(166)), std::string::npos);
  ASSERT_EQ(result.statistics.count("objective"), 1u) << log();
  EXPECT_EQ(result.statistics.at("objective"), 11.0);
}

TEST_F(RemoteRunTest, WithoutApiKeyTheSolveSaysSoAndSendsNothing) {
  test::ScopedEnv unset("X_API_KEY", std::nullopt);
  const RemoteCalculationResult result = client()->solve();
  EXPECT_EQ(result.outcome_text, "api_key_not_set");
  EXPECT_TRUE(log().ends_with(std::string(get_message(177)) + get_message(169))) << log();
  client()->solve_async();
  EXPECT_TRUE(log().ends_with(std::string(get_message(170)) + "api_key_not_set\n")) << log();
  EXPECT_TRUE(service_->journal().empty());
}

TEST_F(RemoteRunTest, GetResultOfACalculationStillQueued) {
  auto fetcher = client();
  create_calculation();
  const std::string uid = current_calc_uid();
  const RemoteCalculationResult result = fetcher->get_result(uid);
  EXPECT_EQ(result.outcome_text, "queued");
  EXPECT_TRUE(log().ends_with(std::string(get_message(179)) + get_message(180) + "queued\n")) << log();
}

}  // namespace
}  // namespace velorium::nimbrova
