// The calculation service's requests as the local service's journal records them.
#include "cloud/service_requests.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/json/parse.hpp>
#include <boost/system/system_error.hpp>

#include "cloud/calculation_state.hpp"
#include "cloud/calculation_uid.hpp"
#include "cloud/support/service_fixture.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"

namespace velorium::nimbrova {
namespace {

namespace json = boost::json;
using namespace std::chrono_literals;
using test::journal_has_header;
using test::journal_header;

json::object fault(const char* endpoint, const char* action, json::array attempts = {}) {
  json::object rule{{"endpoint", endpoint}, {"action", action}};
  if (!attempts.empty()) rule["attempts"] = attempts;
  return rule;
}

json::object scripted_reply(const char* endpoint, const std::string& body) {
  json::object rule = fault(endpoint, "status");
  rule["code"] = 200;
  rule["body"] = body;
  return rule;
}

std::string create_failure(const std::string& reason) { return formatString(get_message(364), reason.c_str()); }

class ServiceRequestsTest : public test::ServiceTest {
 protected:
  // The text of what create_calculation throws; "<none>" when it succeeds.
  static std::string create_outcome() {
    try {
      create_calculation();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "<none>";
  }
};

TEST_F(ServiceRequestsTest, TheCreateReplyIsWalkedThroughEveryNestedObject) {
  struct Case {
    const char* reply;
    const char* uid;
    const char* url;
    std::vector<std::pair<std::string, std::string>> fields;  // sorted by name
  };
  const Case cases[] = {
      {R"({"calc_uid":"u1","upload":{"url":"https://s/up","fields":{"x-amz-date":"D","policy":"P","key":"K","other":"O"}}})",
       "u1", "https://s/up", {{"key", "K"}, {"policy", "P"}, {"x-amz-date", "D"}}},
      // A later uid or url overwrites an earlier one; the first form field of a name stays.
      {R"({"key":"first","calc_uid":"a","inner":{"key":"second","calc_uid":"b","url":"u"}})", "b", "u",
       {{"key", "first"}}},
      // Nested objects are walked after the members of the object that holds them.
      {R"({"a":{"policy":"deep","url":"deep"},"policy":"top","url":"top","calc_uid":"c"})", "c", "deep",
       {{"policy", "top"}}},
      // Names are compared exactly; a url that is not a string is ignored.
      {R"({"calc_uid":"d","URL":"x","url":"y","Key":"k","x-amz":"z","inner":{"url":7}})", "d", "y", {}},
  };
  for (const Case& c : cases) {
    service_->faults({scripted_reply("create", c.reply)});
    EXPECT_EQ(create_outcome(), "<none>") << c.reply;
    const CalculationInfo info = current_calculation_copy();
    EXPECT_EQ(info.calc_uid, c.uid) << c.reply;
    EXPECT_EQ(info.upload_url, c.url) << c.reply;
    const std::vector<std::pair<std::string, std::string>> fields(info.upload_fields.begin(), info.upload_fields.end());
    EXPECT_EQ(fields, c.fields) << c.reply;
  }
}

TEST_F(ServiceRequestsTest, AMalformedOrIncompleteCreateReplyFailsAtOnceWithOurOwnText) {
  struct Case {
    const char* reply;
    const char* reason;
  };
  const Case cases[] = {
      {R"(["calc_uid","u"])", kMalformedCreateReply},                     // root not an object
      {R"({"calc_uid":"u","url":"x","policy":5})", kMalformedCreateReply},  // form field not a string
      {R"({"calc_uid":"u","url":"x","x-amz-date":null})", kMalformedCreateReply},
      {R"({"calc_uid":"u",)", kMalformedCreateReply},  // not JSON
      {R"({"calc_uid":"u"} trailing)", kMalformedCreateReply},
      {R"({"calc_uid":"u","url":5})", kCreateReplyWithoutUrl},
      {R"({"url":"https://s/up"})", kCreateReplyWithoutUid},
  };
  for (const Case& c : cases) {
    service_->clear_journal();
    service_->faults({scripted_reply("create", c.reply)});
    EXPECT_EQ(create_outcome(), create_failure(c.reason)) << c.reply;
    EXPECT_EQ(sent("create").size(), 1u) << c.reply;  // not retried
  }
}

TEST_F(ServiceRequestsTest, CreateRetriesNetworkErrorsAfter100And200Milliseconds) {
  service_->faults({fault("create", "drop", {1, 2})});
  EXPECT_EQ(create_outcome(), "<none>");
  EXPECT_EQ(sent("create").size(), 3u);
  EXPECT_EQ(clock_->sleeps(), (std::vector<std::chrono::milliseconds>{100ms, 200ms}));
  EXPECT_FALSE(current_calc_uid().empty());
}

TEST_F(ServiceRequestsTest, CreateGivesUpAfterThreeNetworkErrorsWithMessage364) {
  service_->faults({fault("create", "drop")});
  const std::string outcome = create_outcome();
  EXPECT_EQ(outcome.rfind(create_failure("").substr(0, 20), 0), 0u) << outcome;
  EXPECT_NE(outcome, create_failure(""));  // the network error's own text is in it
  EXPECT_EQ(sent("create").size(), 3u);
  EXPECT_EQ(current_calc_uid(), "");
}

TEST_F(ServiceRequestsTest, AnHttpErrorOfTheCreateIsNotRetried) {
  json::object rule = fault("create", "status");
  rule["code"] = 500;
  service_->faults({rule});
  EXPECT_EQ(create_outcome(), "Http result : 500");
  EXPECT_EQ(sent("create").size(), 1u);
}

TEST_F(ServiceRequestsTest, EmptyCreateRepliesAreRetriedAtOnceThenRefused) {
  service_->faults({fault("create", "empty")});
  EXPECT_EQ(create_outcome(), create_failure(kMalformedCreateReply));
  EXPECT_EQ(sent("create").size(), 3u);
  EXPECT_TRUE(clock_->sleeps().empty());
}

TEST_F(ServiceRequestsTest, TheCreateRequestCarriesKeyTypeAndParameters) {
  RemoteParameters parameters = remote_parameters_copy();
  parameters.string_params["solver"] = "best";
  parameters.double_params["time_limit"] = 1000000;
  parameters.bool_params["log_to_console"] = false;
  set_remote_parameters(parameters);
  ASSERT_EQ(create_outcome(), "<none>");
  const json::value entry = sent("create").at(0);
  EXPECT_EQ(entry.at("method").as_string(), "POST");
  EXPECT_EQ(entry.at("target").as_string(), service_->base_path());
  std::vector<std::string> names;
  for (const json::value& header : entry.at("headers").as_array()) names.emplace_back(header.as_array().at(0).as_string());
  EXPECT_EQ(names, (std::vector<std::string>{"X-API-KEY", "Content-Type", "Connection", "Host", "Content-Length"}));
  EXPECT_EQ(journal_header(entry, "X-API-KEY"), "present");  // the service's own key
  EXPECT_EQ(entry.at("api_key").as_string(), "present");
  EXPECT_EQ(journal_header(entry, "Content-Type"), "application/json");
  const json::value params = service_->calculations().back().at("params");
  EXPECT_EQ(params.at("solver").as_string(), "best");
  EXPECT_EQ(params.at("time_limit").to_number<double>(), 1000000.0);
  EXPECT_FALSE(params.as_object().contains("log_to_console"));
}

TEST_F(ServiceRequestsTest, WithoutApiKeyNothingIsSentAndAnEmptyKeyIsSentEmpty) {
  {
    test::ScopedEnv unset("X_API_KEY", std::nullopt);
    EXPECT_EQ(create_outcome(), "api_key_not_set");
    EXPECT_THROW(cancel_calculation(), std::logic_error);
  }
  EXPECT_TRUE(service_->journal().empty());
  test::ScopedEnv empty("X_API_KEY", "");
  EXPECT_EQ(create_outcome(), "invalid_api_key");  // the service refuses it
  ASSERT_EQ(sent("create").size(), 1u);
  EXPECT_EQ(journal_header(sent("create").at(0), "X-API-KEY"), "wrong");  // sent, and empty
}

TEST_F(ServiceRequestsTest, LogOffsetsGiveTheRangeFromOneByteBefore) {
  ASSERT_EQ(create_outcome(), "<none>");
  const std::string uid = current_calc_uid();
  const struct {
    std::uint64_t offset;
    const char* range;
  } cases[] = {{0, "<absent>"}, {1, "bytes=0-"}, {1000, "bytes=999-"}, {5000000000ull, "bytes=4999999999-"}};
  for (const auto& c : cases) {
    service_->clear_journal();
    try {
      download_log(uid, c.offset, kFetchTimeout);
    } catch (const std::exception&) {
      // A range past the log's end is refused; only the request matters here.
    }
    const json::value entry = sent("log").at(0);
    EXPECT_EQ(entry.at("target").as_string(), service_->base_path() + uid + "/log");
    EXPECT_EQ(journal_header(entry, "Range"), c.range) << c.offset;
  }
}

TEST_F(ServiceRequestsTest, ARedirectIsFollowedOnceWithoutTheKeyAndWithTheSameRange) {
  ASSERT_EQ(create_outcome(), "<none>");
  const std::string uid = current_calc_uid();
  service_->faults({fault("log", "redirect")});
  service_->log_script({"0123456789"}, uid);
  service_->status_script({"calculating"}, uid);
  get_calc_data(uid, "status", {}, kFetchTimeout);  // shows the log's first piece
  service_->clear_journal();
  EXPECT_EQ(download_log(uid, 4, kFetchTimeout), "3456789");
  const json::value first = sent("log").at(0);
  const json::value second = sent("storage_log").at(0);
  EXPECT_EQ(journal_header(first, "X-API-KEY"), "present");
  EXPECT_FALSE(journal_has_header(second, "X-API-KEY"));
  EXPECT_EQ(second.at("api_key").as_string(), "absent");
  EXPECT_EQ(journal_header(first, "Range"), "bytes=3-");
  EXPECT_EQ(journal_header(second, "Range"), "bytes=3-");
  EXPECT_EQ(service_->journal().size(), 2u);
}

TEST_F(ServiceRequestsTest, OnlyTheOneRedirectIsFollowedAndNoOtherStatusGivesData) {
  ASSERT_EQ(create_outcome(), "<none>");
  const std::string uid = current_calc_uid();
  const auto scripted = [](const char* endpoint, int code) {
    json::object rule = scripted_reply(endpoint, "# Velorium Solution File Version 1.1\n");
    rule["code"] = code;
    return rule;
  };
  struct Case {
    const char* what;
    json::array faults;
    const char* failure;
    std::size_t requests;
  };
  const Case cases[] = {
      {"a redirect to a redirect", {fault("status", "redirect"), fault("storage_status", "redirect")},
       "Http result : 302", 2},
      {"a 307", {scripted("status", 307)}, "Http result : 307", 1},
      {"a 301", {scripted("status", 301)}, "Http result : 301", 1},
      {"a redirect to a 307", {fault("status", "redirect"), scripted("storage_status", 307)}, "Http result : 307", 2},
      {"a redirect to a 404", {fault("status", "redirect"), scripted("storage_status", 404)}, "Http result : 404", 2},
  };
  for (const Case& c : cases) {
    service_->faults(c.faults);
    service_->clear_journal();
    std::string failure = "<none>";
    try {
      get_calc_data(uid, "status", {}, kFetchTimeout);
    } catch (const std::runtime_error& e) {
      failure = e.what();
    }
    EXPECT_EQ(failure, c.failure) << c.what;
    EXPECT_EQ(service_->journal().size(), c.requests) << c.what;
  }

  json::object no_location = fault("status", "redirect");
  no_location["location"] = false;
  service_->faults({no_location});
  service_->clear_journal();
  EXPECT_THROW(get_calc_data_with_retries(uid, "status", {}, kFetchTimeout), boost::system::system_error);
  EXPECT_EQ(sent("status").size(), 3u);
  EXPECT_EQ(clock_->sleeps(), (std::vector<std::chrono::milliseconds>{100ms, 200ms}));
}

TEST_F(ServiceRequestsTest, PollingRetriesHttpErrorsTwiceThenThrowsTheThird) {
  ASSERT_EQ(create_outcome(), "<none>");
  json::object rule = fault("status", "status", {1, 2});
  rule["code"] = 503;
  service_->faults({rule});
  EXPECT_NO_THROW(get_calc_data_with_retries(current_calc_uid(), "status", {}, kFetchTimeout));
  EXPECT_EQ(sent("status").size(), 3u);
  rule.erase("attempts");
  service_->faults({rule});
  service_->clear_journal();
  try {
    get_calc_data_with_retries(current_calc_uid(), "status", {}, kFetchTimeout);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Http result : 503");
  }
  EXPECT_EQ(sent("status").size(), 3u);
}

TEST_F(ServiceRequestsTest, CancelSendsAPatchWithoutBodyToTheCalculation) {
  ASSERT_EQ(create_outcome(), "<none>");
  std::string logged;
  set_client_log_tap_for_testing([&](std::string_view text) { logged += text; });
  service_->clear_journal();
  cancel_calculation();
  const json::value entry = sent("cancel").at(0);
  EXPECT_EQ(entry.at("method").as_string(), "PATCH");
  EXPECT_EQ(entry.at("target").as_string(), service_->base_path() + current_calc_uid());
  EXPECT_EQ(entry.at("body_length").to_number<int>(), 0);
  EXPECT_FALSE(journal_has_header(entry, "Content-Length"));
  EXPECT_EQ(logged, get_message(165));
}

}  // namespace
}  // namespace velorium::nimbrova

namespace velorium::nimbrova {
namespace {

// The identifier goes into every target of its calculation: one that is not valid is refused
// before anything is sent and without retries.
TEST_F(ServiceRequestsTest, AnIdentifierThatIsNotValidSendsNothing) {
  for (const std::string uid : {std::string(""), std::string("."), std::string(".."), std::string("../../etc"),
                                std::string("a/b"), std::string("a?b"), std::string("a b"), std::string("a\r\nb")}) {
    try {
      get_calc_data_with_retries(uid, "status", {}, kFetchTimeout);
      ADD_FAILURE() << "no exception for [" << uid << "]";
    } catch (const std::invalid_argument& e) {
      EXPECT_TRUE(std::string(e.what()).starts_with("the calculation identifier [")) << e.what();
    }
    EXPECT_THROW(download_log(uid, 5, kFetchTimeout), std::invalid_argument);
  }
  EXPECT_THROW(cancel_calculation(), std::invalid_argument);  // no calculation created yet
  EXPECT_TRUE(service_->journal().empty());
  EXPECT_TRUE(clock_->sleeps().empty());
  for (const char* uid : {"a", "A-Z_a-z.0-9", "...", "0123456789abcdef0123456789abcdef"}) {
    EXPECT_TRUE(is_valid_calc_uid(uid)) << uid;
  }
}

// A redirect's target passes the same check as every other request's.
TEST_F(ServiceRequestsTest, ARedirectToATargetWithABlankIsNotFollowed) {
  ASSERT_EQ(create_outcome(), "<none>");
  json::object rule = fault("status", "redirect");
  rule["location"] = service_->base() + current_calc_uid() + "/status HTTP/1.1";
  service_->faults({rule});
  service_->clear_journal();
  EXPECT_THROW(get_calc_data(current_calc_uid(), "status", {}, kFetchTimeout), std::invalid_argument);
  EXPECT_EQ(service_->journal().size(), 1u);  // the first request only
}

}  // namespace
}  // namespace velorium::nimbrova
