// Models solved remotely end to end against the local service, through the object interface
// and the function interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <cmath>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cloud/client_log.hpp"
#include "cloud/support/service_fixture.hpp"
#include "core/model/model_impl.hpp"
#include "core/text/message_catalogue.hpp"
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
};

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

TEST_F(RemoteModelSolveTest, AnAsynchronousSolveIsFetchedLaterByItsIdentifier) {
  Owned<IModel> model = lp("later");
  model->SolveRemoteAsync();
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
    model->SolveRemoteAsync();
    EXPECT_EQ(model->GetErrorCode(), -1);
  }
  model->SetStringParam("temp_folder_path", temp_.path().string().c_str());
  EXPECT_EQ(model->SolveRemote(temp_.file("no-folder/names.map").c_str()), nullptr);  // the map cannot be written
  EXPECT_EQ(model->GetErrorCode(), -1);
  EXPECT_TRUE(service_->journal().empty());
  EXPECT_STREQ(model->GetCalcUID(), "");
}

TEST_F(RemoteModelSolveTest, AServiceErrorBecomesTheResultsCode) {
  service_->status_script({json::object{{"status", "error"}, {"minor", "TIME_AMOUNT_IS_OVER"}}});
  Owned<IModel> model = lp();
  Owned<ISolveResult> result(model->SolveRemote(""));
  service_->status_script({});
  ASSERT_NE(result.get(), nullptr);
  EXPECT_EQ(model->GetErrorCode(), 0);
  EXPECT_EQ(result->GetSolveResult(), solve_result::remote_time_amount_is_over);
  EXPECT_EQ(result->GetSolutionStatus(), solution_status::invalid_solution);
  EXPECT_TRUE(std::isnan(result->GetObjectiveFunctionValue()));
  EXPECT_EQ(dynamic_cast<ISolveResultEx&>(*result).GetValuesArray(nullptr), nullptr);
  EXPECT_FALSE(std::string(model->GetCalcUID()).empty());
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
