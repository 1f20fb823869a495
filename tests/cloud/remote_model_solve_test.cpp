// Models solved remotely end to end against the local service, through the object interface
// and the function interface.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <regex>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <boost/json/serialize.hpp>
#include <boost/json/string.hpp>

#include "cloud/client_log.hpp"
#include "cloud/support/recording_tls_server.hpp"
#include "cloud/support/service_fixture.hpp"
#include "core/model/model_impl.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "support/owned.hpp"
#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

namespace velorium {
namespace {

namespace json = boost::json;
namespace fs = std::filesystem;
using test::Owned;

// ca a + cb b.
Owned<ILinearExpression> sum_of(IVariable* a, double ca, IVariable* b, double cb) {
  Owned<ILinearExpression> sum(CreateLinearExpression());
  sum->AddTerm(a, ca);
  sum->AddTerm(b, cb);
  return sum;
}

class RemoteModelSolveTest : public test::ServiceTest {
 protected:
  Owned<IModel> new_model(const char* name) {
    Owned<IModel> model(CreateModel());
    model->SetName(name);
    model->SetBoolParam("log_to_console", false);
    model->SetStringParam("temp_folder_path", temp_.path().string().c_str());
    return model;
  }
  // max 3 "my var" + 2 "2x" + 5; "cap one": "my var" + "2x" <= 4; "range row": 1 <= "my var" +
  // 3 "2x" <= 6; 0 <= "my var" <= 3.5; "2x" integer >= 0. Optimum 16 at 3 and 1. Both names
  // must be made legal for the file.
  Owned<IModel> mip() {
    Owned<IModel> model = new_model("plan");
    Owned<IVariable> a(model->AddVariable(0, 3.5, 3, variable_type::continuous, "my var"));
    Owned<IVariable> b(model->AddVariable(0, kVeloriumInf, 2, variable_type::integer, "2x"));
    Owned<IConstraint>(model->AddConstraintLinear1(sum_of(a.get(), 1, b.get(), 1).get(), constraint_sense::less_equal,
                                                   4, "cap one"));
    Owned<IConstraint>(model->AddConstraintLinear2(sum_of(a.get(), 1, b.get(), 3).get(), 1, 6, "range row"));
    model->SetObjectiveSense(objective_sense::maximize);
    model->SetObjectiveOffset(5);
    return model;
  }
  // max 3 a + 2 b; c1: a + b <= 4; c2: a + 3 b <= 6. Optimum 12 at a = 4, b = 0; the dual of c1
  // is 3, of c2 0; the reduced cost of a is 0, of b 2 - 3 = -1.
  Owned<IModel> lp(const char* name = "lp") {
    Owned<IModel> model = new_model(name);
    Owned<IVariable> a(model->AddVariable(0, kVeloriumInf, 3, variable_type::continuous, "a"));
    Owned<IVariable> b(model->AddVariable(0, kVeloriumInf, 2, variable_type::continuous, "b"));
    Owned<IConstraint>(
        model->AddConstraintLinear1(sum_of(a.get(), 1, b.get(), 1).get(), constraint_sense::less_equal, 4, "c1"));
    Owned<IConstraint>(
        model->AddConstraintLinear1(sum_of(a.get(), 1, b.get(), 3).get(), constraint_sense::less_equal, 6, "c2"));
    model->SetObjectiveSense(objective_sense::maximize);
    return model;
  }
  // The remote solve of `model` whose first status poll answers "error" with `minor`.
  Owned<ISolveResult> solve_ending_in_error(IModel& model, const char* minor) const {
    service_->status_script({json::object{{"status", "error"}, {"minor", minor}}});
    Owned<ISolveResult> result(model.SolveRemote(""));
    service_->status_script({});
    return result;
  }
  // The service answers `endpoint` with `code` and `body` instead of its own reply.
  void scripted_reply(const char* endpoint, int code, const std::string& body) const {
    service_->faults({json::object{{"endpoint", endpoint}, {"action", "status"}, {"code", code}, {"body", body}}});
  }
  // What the client logged meanwhile.
  std::string capture_log() {
    logged_.clear();
    nimbrova::set_client_log_tap_for_testing([this](std::string_view text) { logged_ += text; });
    return logged_;
  }
  // Waits (real time, bounded) until the service has finished every calculation.
  void wait_until_solved() const {
    for (int k = 0; k < 300; ++k) {
      bool all = true;
      for (const json::value& calc : service_->calculations()) {
        const json::string& state = calc.at("state").as_string();
        all = all && (state == "done" || state == "error");
      }
      if (all) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    FAIL() << "the service did not finish";
  }
  test::ScratchDir temp_;
  std::string logged_;
};

const std::string kError = std::string(get_message(170)).substr(1);  // "Ошибка: "

// A calculation that ended without failing the query: `fail` with a text of why (code 0), and
// every value refused with `why`.
void expect_failed_with_note(ISolveResult& result, const char* note, const std::string& why) {
  EXPECT_EQ(result.GetSolveResult(), solve_result::fail);
  EXPECT_EQ(result.GetErrorCode(), 0);
  EXPECT_STREQ(result.GetErrorText(), note);
  EXPECT_EQ(result.GetVariableValueByName("a"), 0.0);
  EXPECT_EQ(result.GetErrorCode(), -1);
  EXPECT_EQ(std::string(result.GetErrorText()), "The result holds no solution: " + why);
}

// A port on 127.0.0.1 that answers every connection in plain HTTP, as a server without TLS
// would, and closes it.
class PlainHttpPort {
 public:
  PlainHttpPort() : listener_(test::listen_on_loopback(port_)), thread_([this] { serve(); }) {}
  ~PlainHttpPort() {
    stop_.store(true);
    thread_.join();
    if (listener_ >= 0) ::close(listener_);
  }
  std::uint16_t port() const { return port_; }

 private:
  void serve() {
    const std::string reply = "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    while (!stop_.load() && listener_ >= 0) {
      const int fd = test::accept_within(listener_, 20);
      if (fd < 0) continue;
      [[maybe_unused]] const ssize_t wrote = ::write(fd, reply.data(), reply.size());
      ::close(fd);
    }
  }

  std::uint16_t port_ = 0;
  int listener_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
const std::string kHeading = "# Velorium Solution File Version 1.1\n\n";

// The failed result of a remote solve: no outcome, the reason as the text of GetSolveResult
// (beginning with `lead`), and no value from any getter.
void expect_failed(ISolveResult& result, const std::string& reason, const std::string& lead = kError) {
  EXPECT_EQ(result.GetSolveResult(), solve_result::fail);
  EXPECT_EQ(result.GetErrorCode(), -1);
  const std::string text = result.GetErrorText();
  EXPECT_NE(text.find(reason), std::string::npos) << text;
  EXPECT_TRUE(text.starts_with(lead)) << text;
  EXPECT_EQ(result.GetSolutionStatus(), solution_status::invalid_solution);
  EXPECT_TRUE(std::isnan(result.GetObjectiveFunctionValue()));
  EXPECT_EQ(result.GetVariableValueByName("a"), 0.0);
  EXPECT_EQ(result.GetErrorCode(), -1);
  EXPECT_EQ(std::string(result.GetErrorText()), "The result holds no solution: " + text);
  std::uint64_t count = 5;
  EXPECT_EQ(dynamic_cast<ISolveResultEx&>(result).GetValuesArray(&count), nullptr);
  EXPECT_EQ(count, 0u);
}

void expect_mip_solution(IModel& model, ISolveResult& result) {
  EXPECT_EQ(result.GetSolveResult(), solve_result::success) << result.GetErrorText();
  EXPECT_EQ(result.GetSolutionStatus(), solution_status::optimal);
  EXPECT_NEAR(result.GetObjectiveFunctionValue(), 16.0, 1e-9);
  EXPECT_NEAR(result.GetVariableValueByName("my var"), 3.0, 1e-9);
  EXPECT_NEAR(result.GetVariableValueByName("2x"), 1.0, 1e-9);
  Owned<IVariable> b(model.GetVariableByName("2x"));
  EXPECT_NEAR(result.GetVariableValue(b.get()), 1.0, 1e-9);
  std::uint64_t count = 0;
  const double* values = dynamic_cast<ISolveResultEx&>(result).GetValuesArray(&count);
  ASSERT_EQ(count, 2u);
  EXPECT_NEAR(values[0], 3.0, 1e-9);
  EXPECT_NEAR(values[1], 1.0, 1e-9);
}

TEST_F(RemoteModelSolveTest, AMipWhoseNamesTheWriterChangesComesBackUnderItsOwnNames) {
  Owned<IModel> model = mip();
  Owned<ISolveResult> result(model->SolveRemote(""));
  ASSERT_NE(result.get(), nullptr) << model->GetErrorText();
  expect_mip_solution(*model, *result);
  EXPECT_EQ(result->GetVariableValueByName("my_var"), 0.0);  // the written name is not the model's
  EXPECT_EQ(result->GetErrorCode(), -1);
  EXPECT_FALSE(std::string(model->GetCalcUID()).empty());
  EXPECT_TRUE(fs::is_empty(temp_.path()));  // the operation's folder went with it

  const std::string map = temp_.file("names.map");
  Owned<ISolveResult> mapped(model->SolveRemote(map.c_str()));
  ASSERT_NE(mapped.get(), nullptr) << model->GetErrorText();
  expect_mip_solution(*model, *mapped);
  EXPECT_TRUE(fs::exists(map));  // the caller's map stays
}

TEST_F(RemoteModelSolveTest, TheUploadBodyIsBuiltInTheOperationsFolderNeverTheSystemsTemporaryFolder) {
  test::ScratchDir system_temporary;
  const test::ScopedEnv tmpdir("TMPDIR", system_temporary.path().string());
  std::vector<std::string> at_upload;  // every file below the two folders while the model uploads
  nimbrova::set_client_log_tap_for_testing([&](std::string_view text) {
    if (text.find(get_message(176)) == std::string_view::npos || !at_upload.empty()) return;
    for (const fs::path& root : {system_temporary.path(), temp_.path()}) {
      for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) at_upload.push_back(fs::relative(entry.path(), temp_.path().parent_path()).string());
      }
    }
  });
  Owned<IModel> model = lp("upload");
  Owned<ISolveResult> result(model->SolveRemote(""));
  nimbrova::set_client_log_tap_for_testing(nullptr);
  ASSERT_NE(result.get(), nullptr) << model->GetErrorText();
  EXPECT_EQ(result->GetSolveResult(), solve_result::success);
  // The model file, its gzip member and the body, all in the operation's folder.
  ASSERT_EQ(at_upload.size(), 3u);
  const std::string operation = temp_.path().filename().string() + "/velorium-remote-";
  const std::regex body_name(".*/mltprt[0-9A-F]{32}tmp");
  for (const std::string& file : at_upload) EXPECT_EQ(file.rfind(operation, 0), 0u) << file;
  EXPECT_EQ(std::count_if(at_upload.begin(), at_upload.end(),
                          [&](const std::string& file) { return std::regex_match(file, body_name); }),
            1);
  EXPECT_TRUE(fs::is_empty(temp_.path()));
}

TEST_F(RemoteModelSolveTest, AnLpGivesDualsAndReducedCostsByNameObjectAndArray) {
  Owned<IModel> model = lp();
  Owned<ISolveResult> result(model->SolveRemote(nullptr));
  ASSERT_NE(result.get(), nullptr) << model->GetErrorText();
  EXPECT_EQ(result->GetSolveResult(), solve_result::success);
  EXPECT_NEAR(result->GetObjectiveFunctionValue(), 12.0, 1e-9);
  EXPECT_NEAR(result->GetDualValueByName("c1"), 3.0, 1e-9);
  EXPECT_NEAR(result->GetDualValueByName("c2"), 0.0, 1e-9);
  Owned<IConstraint> c1(model->GetConstraintByName("c1"));
  EXPECT_NEAR(result->GetDualValue(c1.get()), 3.0, 1e-9);
  EXPECT_NEAR(result->GetReducedCostByName("b"), -1.0, 1e-9);
  Owned<IVariable> a(model->GetVariableByName("a"));
  EXPECT_NEAR(result->GetReducedCost(a.get()), 0.0, 1e-9);
  auto& arrays = dynamic_cast<ISolveResultEx&>(*result);
  std::uint64_t count = 0;
  const double* duals = arrays.GetDualValuesArray(&count);
  ASSERT_EQ(count, 2u);
  EXPECT_NEAR(duals[0], 3.0, 1e-9);
  const double* reduced = arrays.GetReducedCostsArray(&count);
  ASSERT_EQ(count, 2u);
  EXPECT_NEAR(reduced[1], -1.0, 1e-9);
  Owned<ILinearExpression> objective(model->GetObjective());
  EXPECT_NEAR(result->GetExpressionValueLinear(objective.get()), 12.0, 1e-9);
}

TEST_F(RemoteModelSolveTest, StartValuesArriveUnderTheUploadedNames) {
  for (const std::string map : {std::string(), temp_.file("start.map")}) {
    Owned<IModel> model = mip();
    model->AddMipStartValueByName("my var", 3.0);
    model->AddMipStartValueByName("2x", 1.0);
    Owned<ISolveResult> result(model->SolveRemote(map.c_str()));
    ASSERT_NE(result.get(), nullptr) << model->GetErrorText();
    const char* log = model->GetRemoteSolveLog(model->GetCalcUID());
    ASSERT_NE(log, nullptr) << model->GetErrorText();
    EXPECT_NE(std::string(log).find("Start values: 2 read, 2 of them name columns"), std::string::npos) << log;
    const json::value calculation = service_->calculations().back();
    EXPECT_EQ(calculation.at("uploads").at(0).at("filename").as_string(), "start.sol");
    EXPECT_EQ(calculation.at("uploads").at(1).at("filename").as_string(), "plan.mps.gz");
  }
}

// The asynchronous solve writes the name map it is given, as the synchronous one does, and a
// result fetched with that map names every member back, those the writer renamed included.
TEST_F(RemoteModelSolveTest, AnAsynchronousSolveWritesItsNameMapForTheFetch) {
  Owned<IModel> model = mip();
  const std::string map = temp_.file("later.map");
  model->SolveRemoteAsync(map.c_str());
  ASSERT_EQ(model->GetErrorCode(), 0) << model->GetErrorText();
  ASSERT_TRUE(fs::exists(map));
  const std::string uid = model->GetCalcUID();
  wait_until_solved();
  Owned<ISolveResult> result(CreateSolveResult(uid.c_str(), map.c_str()));
  EXPECT_EQ(result->GetSolveResult(), solve_result::success) << result->GetErrorText();
  EXPECT_NEAR(result->GetVariableValueByName("my var"), 3.0, 1e-9);
  Owned<IVariable> b(model->GetVariableByName("2x"));
  EXPECT_NEAR(result->GetVariableValue(b.get()), 1.0, 1e-9);
  EXPECT_EQ(result->GetErrorCode(), 0);
}

TEST_F(RemoteModelSolveTest, AnAsynchronousSolveIsFetchedLaterByItsIdentifier) {
  Owned<IModel> model = lp("later");
  model->SolveRemoteAsync(nullptr);
  ASSERT_EQ(model->GetErrorCode(), 0) << model->GetErrorText();
  const std::string uid = model->GetCalcUID();
  ASSERT_FALSE(uid.empty());
  wait_until_solved();
  Owned<ISolveResult> result(CreateSolveResult(uid.c_str(), ""));
  ASSERT_NE(result.get(), nullptr);
  EXPECT_EQ(result->GetSolveResult(), solve_result::success) << result->GetErrorText();
  EXPECT_NEAR(result->GetObjectiveFunctionValue(), 12.0, 1e-9);
  EXPECT_NEAR(result->GetVariableValueByName("a"), 4.0, 1e-9);
  EXPECT_EQ(dynamic_cast<ISolveResultEx&>(*result).GetValuesArray(nullptr), nullptr);  // no model

  const std::string map = temp_.write("renames.map", "alpha a\nbeta b\n");
  Owned<ISolveResult> renamed(CreateSolveResult(uid.c_str(), map.c_str()));
  EXPECT_NEAR(renamed->GetVariableValueByName("alpha"), 4.0, 1e-9);
  EXPECT_EQ(renamed->GetVariableValueByName("a"), 0.0);
  EXPECT_EQ(renamed->GetErrorCode(), -1);

  const char* log = model->GetRemoteSolveLog(uid.c_str());
  ASSERT_NE(log, nullptr) << model->GetErrorText();
  EXPECT_NE(std::string(log).find(uid), std::string::npos) << log;
}

TEST_F(RemoteModelSolveTest, TheFunctionInterfaceSolvesAndFetches) {
  VeloriumModel* model = Model_Create();
  Model_SetName(model, "c-model");
  Model_SetBoolParam(model, "log_to_console", 0);
  Model_SetStringParam(model, "temp_folder_path", temp_.path().string().c_str());
  VeloriumVariable* x = Model_AddVariable(model, 0, 2.5, 1, 0, "x");
  Model_SetObjectiveSense(model, 1);
  VeloriumSolveResult* result = Model_SolveRemote(model, nullptr);
  ASSERT_NE(result, nullptr) << Model_GetErrorText(model);
  EXPECT_EQ(SolveResult_GetSolveResult(result), 0);
  EXPECT_NEAR(SolveResult_GetObjectiveFunctionValue(result), 2.5, 1e-9);
  EXPECT_NEAR(SolveResult_GetVariableValue(result, x), 2.5, 1e-9);
  uint64_t count = 0;
  const double* values = SolveResult_GetValuesArray(result, &count);
  ASSERT_EQ(count, 1u);
  EXPECT_NEAR(values[0], 2.5, 1e-9);
  const std::string uid = Model_GetCalcUID(model);
  VeloriumSolveResult* again = SolveResult_Create(uid.c_str(), nullptr);
  EXPECT_NEAR(SolveResult_GetVariableValueByName(again, "x"), 2.5, 1e-9);
  EXPECT_EQ(SolveResult_GetVariableValueByName(again, "X"), 0.0);  // a misspelt name
  EXPECT_EQ(SolveResult_GetErrorCode(again), -1);
  EXPECT_STREQ(SolveResult_GetErrorText(again), "Переменная с именем [X] отсутствует");
  EXPECT_NE(Model_GetRemoteSolveLog(model, uid.c_str()), nullptr);
  SolveResult_Release(again);
  SolveResult_Release(result);
  Variable_Release(x);
  Model_Release(model);
}

TEST_F(RemoteModelSolveTest, NothingIsWrittenOrDeletedOutsideTheOperationsFolder) {
  temp_.write("Plan.mps", "someone else's file");
  for (const char* name : {"../escape", "/tmp/velorium-escape.lp", "a\"b", "Plan"}) {
    Owned<IModel> model = lp(name);
    Owned<ISolveResult> result(model->SolveRemote(""));
    ASSERT_NE(result.get(), nullptr) << name << ": " << model->GetErrorText();
    EXPECT_EQ(result->GetSolveResult(), solve_result::success) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(temp_.path()), fs::directory_iterator()), 1) << name;
  }
  EXPECT_EQ(test::readFileBytes(temp_.file("Plan.mps")), "someone else's file");
  EXPECT_FALSE(fs::exists(temp_.path().parent_path() / "escape.mps"));
  EXPECT_FALSE(fs::exists("/tmp/velorium-escape.lp"));
}

TEST_F(RemoteModelSolveTest, ATemporaryFolderOrModelFileThatCannotBeWrittenSendsNothing) {
  Owned<IModel> model = lp();
  const std::string missing = temp_.file("missing");
  const std::string not_a_folder = temp_.write("a-file", "");
  for (const std::string& folder : {missing, not_a_folder}) {
    model->SetStringParam("temp_folder_path", folder.c_str());
    EXPECT_EQ(model->SolveRemote(""), nullptr);
    EXPECT_EQ(model->GetErrorCode(), -1);
    EXPECT_NE(std::string(model->GetErrorText()).find(folder), std::string::npos) << model->GetErrorText();
    model->SolveRemoteAsync("");
    EXPECT_EQ(model->GetErrorCode(), -1);
  }
  model->SetStringParam("temp_folder_path", temp_.path().string().c_str());
  EXPECT_EQ(model->SolveRemote(temp_.file("no-folder/names.map").c_str()), nullptr);  // the map cannot be written
  EXPECT_EQ(model->GetErrorCode(), -1);
  EXPECT_TRUE(service_->journal().empty());
  EXPECT_STREQ(model->GetCalcUID(), "");
}

TEST_F(RemoteModelSolveTest, AServiceErrorBecomesTheResultsCode) {
  Owned<IModel> model = lp();
  Owned<ISolveResult> result = solve_ending_in_error(*model, "TIME_AMOUNT_IS_OVER");
  ASSERT_NE(result.get(), nullptr);
  EXPECT_EQ(model->GetErrorCode(), 0);
  EXPECT_EQ(result->GetSolveResult(), solve_result::remote_time_amount_is_over);
  EXPECT_EQ(result->GetSolutionStatus(), solution_status::invalid_solution);
  EXPECT_TRUE(std::isnan(result->GetObjectiveFunctionValue()));
  EXPECT_EQ(dynamic_cast<ISolveResultEx&>(*result).GetValuesArray(nullptr), nullptr);
  EXPECT_FALSE(std::string(model->GetCalcUID()).empty());
}

// A reply that is no result text (an expired storage address's page, a text cut short) is a
// failed result with the reason, in C++ and C alike; never an optimal one of zeros.
TEST_F(RemoteModelSolveTest, AResultTextThatIsNoneIsAFailedResultThatSaysWhy) {
  const struct {
    const char* title;
    std::string body;
    std::string reason;
  } cases[] = {
      {"empty", "", "the calculation's result text is empty"},
      {"an HTML page", "<html><body>Request has expired</body></html>",
       "the calculation's result text does not begin with \"# Velorium Solution File Version 1.1\" but with "
       "\"<html><body>Request has expired</body></html>\""},
      {"cut short", kHeading + "# Columns  2\na 4\n", "the calculation's result text counts 2 columns but holds 1 values"},
      {"a column missing", kHeading + "# Columns  1\na 4\n",
       "the calculation's result text holds no value for the column [b] of the uploaded model"},
      {"NaN", kHeading + "# Columns  2\na nan\nb 0\n", "the calculation's result text has NaN for \"a\" (line 4)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    scripted_reply("result", 200, c.body);
    capture_log();
    Owned<IModel> model = lp();
    Owned<ISolveResult> result(model->SolveRemote(""));
    ASSERT_NE(result.get(), nullptr) << model->GetErrorText();
    expect_failed(*result, kError + c.reason);
    EXPECT_NE(logged_.find(get_message(170) + c.reason), std::string::npos) << logged_;
    auto* handle = reinterpret_cast<VeloriumSolveResult*>(result.get());
    EXPECT_EQ(SolveResult_GetSolveResult(handle), 1);
    EXPECT_EQ(SolveResult_GetVariableValueByName(handle, "b"), 0.0);
    EXPECT_EQ(SolveResult_GetErrorCode(handle), -1);
  }
}

// The reason the client logged reaches the result's text, catalogue text first.
TEST_F(RemoteModelSolveTest, AFailedSolveCarriesTheReasonTheClientLogged) {
  const PlainHttpPort plain;
  const std::string plain_address = "https://127.0.0.1:" + std::to_string(plain.port()) + "/api/v1/calculations/";
  // Message 364 as the create's failure begins it: "Невозможно запустить облачный расчет - ".
  const std::string create_failed = kError + formatString(get_message(364), "");
  const struct {
    const char* title;
    std::function<void(std::optional<test::ScopedEnv>&)> arrange;
    std::string lead;
    const char* reason;
  } cases[] = {
      {"nobody listens",
       [](auto& env) { env.emplace("NIMBROVA_TEST_SERVER_ADDRESS", "https://127.0.0.1:1/api/v1/calculations/"); },
       create_failed.substr(0, create_failed.size() - 1), "connecting: Connection refused"},
      {"no TLS on the port", [&](auto& env) { env.emplace("NIMBROVA_TEST_SERVER_ADDRESS", plain_address); },
       create_failed.substr(0, create_failed.size() - 1), "handshake: "},
      {"an untrusted certificate", [](auto& env) { env.emplace("VELORIUM_TEST_ROOTS", std::nullopt); },
       create_failed.substr(0, create_failed.size() - 1), "certificate verify failed"},
      {"404", [this](auto&) { scripted_reply("create", 404, "{}"); }, kError, "Http result : 404"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    service_->faults({});
    std::optional<test::ScopedEnv> env;
    c.arrange(env);
    Owned<IModel> model = lp();
    Owned<ISolveResult> result(model->SolveRemote(""));
    ASSERT_NE(result.get(), nullptr) << model->GetErrorText();
    expect_failed(*result, c.reason, c.lead);
    result->GetSolveResult();
    EXPECT_EQ(std::string(result->GetErrorText()).find(" at /"), std::string::npos)  // no source location
        << result->GetErrorText();
  }
}

// Ended "done" without a solution (a time limit reached before one), or infeasible: no value
// reads 0; the first is no success, as for a local result.
TEST_F(RemoteModelSolveTest, ACalculationWithoutASolutionGivesNoValues) {
  scripted_reply("details", 200,
                 R"({"relative_gap": null, "objective": null, "best_bound": null, "processed_nodes": 0,
                     "iterations": 0, "solve_time": 10.0, "solution_status_v2": "invalid_solution"})");
  Owned<IModel> model = lp();
  Owned<ISolveResult> stopped(model->SolveRemote(""));
  ASSERT_NE(stopped.get(), nullptr);
  expect_failed_with_note(*stopped, "The calculation ended without a solution (solution status invalid_solution).",
                          "the calculation ended with the solution status invalid_solution");

  service_->faults({});
  Owned<IVariable> a(model->GetVariableByName("a"));
  Owned<ILinearExpression> only_a(CreateLinearExpression());
  only_a->AddTerm(a.get(), 1);
  // c1 (a + b <= 4) leaves a at most 4.
  Owned<IConstraint>(model->AddConstraintLinear1(only_a.get(), constraint_sense::greater_equal, 5, "a at least 5"));
  Owned<ISolveResult> infeasible(model->SolveRemote(""));
  ASSERT_NE(infeasible.get(), nullptr);
  EXPECT_EQ(infeasible->GetSolveResult(), solve_result::success) << infeasible->GetErrorText();
  ASSERT_EQ(infeasible->GetSolutionStatus(), solution_status::infeasible);
  EXPECT_EQ(infeasible->GetVariableValue(a.get()), 0.0);
  EXPECT_EQ(infeasible->GetErrorCode(), -1);
  EXPECT_NE(std::string(infeasible->GetErrorText()).find("solution status infeasible"), std::string::npos);
  EXPECT_EQ(dynamic_cast<ISolveResultEx&>(*infeasible).GetValuesArray(nullptr), nullptr);
  EXPECT_EQ(infeasible->GetErrorCode(), -1);
}

// The service's own CANCELLED (after an interrupt or a program's cancel): `fail`, and a text
// that says so without failing the query.
TEST_F(RemoteModelSolveTest, ACancelledCalculationSaysSo) {
  Owned<IModel> model = lp();
  Owned<ISolveResult> result = solve_ending_in_error(*model, "CANCELLED");
  ASSERT_NE(result.get(), nullptr);
  expect_failed_with_note(*result, "The calculation was cancelled at the caller's request.",
                          "The calculation was cancelled at the caller's request.");
}

// The identifier is data: one the service gives that could change a request's target is
// refused before anything is sent to it, the API key included; one a caller gives likewise.
TEST_F(RemoteModelSolveTest, AnIdentifierThatIsNoneIsRefusedWhoeverGivesIt) {
  const std::string form = R"(, "upload": {"url": "https://127.0.0.1:1/storage/upload", "fields": {"key": "k"}}})";
  for (const std::string uid : {std::string("../../etc"), std::string(".."), std::string("a b"),
                                std::string("X/status HTTP/1.1\r\nHost: h\r\n\r\nPATCH /x HTTP/1.1\r\nX-Pad: ")}) {
    SCOPED_TRACE(uid);
    scripted_reply("create", 201, "{\"calc_uid\": " + json::serialize(json::string(uid)) + form);
    service_->clear_journal();
    Owned<IModel> model = lp();
    Owned<ISolveResult> result(model->SolveRemote(""));
    ASSERT_NE(result.get(), nullptr);
    // Message 364 with the reason: "Невозможно запустить облачный расчет - the calculation ...".
    const std::string create_failed = formatString(get_message(364), "the calculation identifier [");
    expect_failed(*result, "] is not valid: ", kError + create_failed.substr(0, create_failed.size() - 1));
    EXPECT_STREQ(model->GetCalcUID(), "");
    ASSERT_EQ(service_->journal().size(), 1u);  // the create, nothing after it
  }
  service_->faults({});
  service_->clear_journal();
  Owned<IModel> model = lp();
  EXPECT_EQ(model->GetRemoteSolveLog("../x"), nullptr);
  EXPECT_EQ(model->GetErrorCode(), -1);
  EXPECT_NE(std::string(model->GetErrorText()).find("the calculation identifier [../x] is not valid"), std::string::npos)
      << model->GetErrorText();
  EXPECT_EQ(model->GetRemoteSolveLog(""), nullptr);
  EXPECT_EQ(model->GetErrorCode(), -1);
  EXPECT_TRUE(service_->journal().empty());
}

TEST_F(RemoteModelSolveTest, TwoThreadsSolvingTwoModelsEachGetTheirOwnResult) {
  Owned<IModel> first = mip();
  Owned<IModel> second = lp();
  Owned<ISolveResult> first_result;
  Owned<ISolveResult> second_result;
  std::thread other([&] { second_result.reset(second->SolveRemote("")); });
  first_result.reset(first->SolveRemote(""));
  other.join();
  ASSERT_NE(first_result.get(), nullptr);
  ASSERT_NE(second_result.get(), nullptr);
  expect_mip_solution(*first, *first_result);
  EXPECT_NEAR(second_result->GetObjectiveFunctionValue(), 12.0, 1e-9);
  EXPECT_NEAR(second_result->GetVariableValueByName("a"), 4.0, 1e-9);
  EXPECT_STRNE(first->GetCalcUID(), second->GetCalcUID());
}

}  // namespace
}  // namespace velorium
