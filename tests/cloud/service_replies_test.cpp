// Reading the service's status and details replies, and writing the create request's body.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "cloud/service_requests.hpp"
#include "support/scoped_env.hpp"

namespace velorium::nimbrova {
namespace {

TEST(ParseStatus, ReadsEveryWordLogFullAndTheMinorOfAnError) {
  struct Case {
    const char* reply;
    int status;
    bool log_full;
    const char* text;  // status_text
  };
  const Case cases[] = {
      {R"({"status":"calculating"})", kStatusCalculating, false, "calculating"},
      {R"({"status":"queued","log_full":true})", kStatusQueued, true, "queued"},
      {R"({"status":"done","log_full":true})", kStatusDone, true, "done"},
      {R"({"status":"done","log_full":"1"})", kStatusDone, true, "done"},
      {R"({"status":"done","log_full":"yes"})", kStatusDone, false, "done"},  // not a boolean: false
      {R"({"status":"done","log_full":0})", kStatusDone, false, "done"},
      {R"({"status":"done","minor":"IGNORED"})", kStatusDone, false, "done"},  // minor only for errors
      {R"({"status":"error","minor":"TIME_AMOUNT_IS_OVER"})", kStatusError, false, "error: TIME_AMOUNT_IS_OVER"},
  };
  for (const Case& c : cases) {
    const CalculationStatus status = parse_status(c.reply);
    EXPECT_EQ(status.status, c.status) << c.reply;
    EXPECT_EQ(status.log_full, c.log_full) << c.reply;
    EXPECT_EQ(status_text(status), c.text) << c.reply;
  }
  EXPECT_EQ(parse_status(std::string("{\"status\":\"queued\"}\0garbage", 27)).status, kStatusQueued);  // up to NUL
}

TEST(ParseStatus, RefusesWhatItCannotRead) {
  const char* replies[] = {
      R"({"status":"finished"})",  // a word outside the table
      R"({"status":"Done"})",      // words are compared exactly
      R"({"log_full":true})",      // no status
      R"({"status":"error"})",     // an error without minor
      R"(["done"])",               // not an object
      R"({"status":)",             // not JSON
      "",
  };
  for (const char* reply : replies) EXPECT_THROW(parse_status(reply), std::runtime_error) << reply;
}

TEST(ReadResultJson, ReadsNumbersNullsAndTheInfinityWords) {
  RemoteCalculationResult result;
  read_result_json(R"({"relative_gap":"Infinity","objective":"-infinity","best_bound":null,)"
                   R"("processed_nodes":12345678901,"iterations":" 42 ","solve_time":"NaN",)"
                   R"("solution_status_v2":"optimal","solver":"glpk"})",
                   result);
  EXPECT_EQ(result.statistics.at("relative_gap"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(result.statistics.at("objective"), -std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(result.statistics.at("best_bound")));
  EXPECT_EQ(result.statistics.at("processed_nodes"), 12345678901.0);
  EXPECT_EQ(result.statistics.at("iterations"), 42.0);
  EXPECT_TRUE(std::isnan(result.statistics.at("solve_time")));
  EXPECT_EQ(result.solution_status_word, "optimal");
}

TEST(ReadResultJson, RefusesABadNumberOrAMissingMember) {
  const std::string complete =
      R"("relative_gap":0,"objective":1.5,"best_bound":1.5,"processed_nodes":0,"iterations":3,"solve_time":0.1)";
  const std::string replies[] = {
      "{" + complete + "}",                                                   // no solution_status_v2
      R"({"objective":1.5,"solution_status_v2":"optimal"})",                  // statistics missing
      "{" + complete + R"(,"solution_status_v2":"optimal","x":1})",           // complete: accepted
      R"({"relative_gap":"12abc",)" + complete.substr(15) + R"(,"solution_status_v2":"optimal"})",
      R"({"relative_gap":true,)" + complete.substr(15) + R"(,"solution_status_v2":"optimal"})",
      "[1]",
  };
  const bool accepted[] = {false, false, true, false, false, false};
  for (std::size_t k = 0; k < std::size(replies); ++k) {
    RemoteCalculationResult result;
    if (accepted[k]) {
      EXPECT_NO_THROW(read_result_json(replies[k], result)) << replies[k];
    } else {
      EXPECT_THROW(read_result_json(replies[k], result), std::runtime_error) << replies[k];
    }
  }
}

TEST(ParametersToJson, SendsStringsDoublesAndIntegersButNoFlags) {
  RemoteParameters parameters;
  parameters.string_params["solver"] = "best";
  parameters.string_params["gap"] = "shadowed";  // a later group's value wins
  parameters.double_params["gap"] = 0.0001;
  parameters.double_params["time_limit"] = 1000000;
  parameters.int_params["remote_timeout"] = 300;
  parameters.bool_params["log_to_console"] = true;
  EXPECT_EQ(parameters_to_json(parameters),
            R"({"gap":1E-4,"remote_solver_address":"https://api.nimbrova.example/api/v1/calculations/",)"
            R"("solver":"best","time_limit":1E6,"remote_timeout":300})");
}

TEST(AddApiKeyHeader, TakesTheVariableAsItIsAndRefusesWhenItIsUnset) {
  {
    test::ScopedEnv key("X_API_KEY", "");
    CloudRequest request;
    add_api_key_header(request);
    EXPECT_EQ(request.message["X-API-KEY"], "");
    EXPECT_EQ(request.message.count("X-API-KEY"), 1u);
  }
  test::ScopedEnv none("X_API_KEY", std::nullopt);
  CloudRequest request;
  try {
    add_api_key_header(request);
    FAIL() << "no exception";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "api_key_not_set");
  }
}

}  // namespace
}  // namespace velorium::nimbrova
