// A model's remote solve turned into parameters and files, before anything is sent.
#include "cloud/remote_request_preparation.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cloud/calculation_state.hpp"
#include "cloud/client_log.hpp"
#include "cloud/support/gunzip.hpp"
#include "cloud/support/process_limits.hpp"
#include "core/model/model_impl.hpp"
#include "core/text/message_catalogue.hpp"
#include "support/owned.hpp"
#include "support/scoped_env.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::nimbrova {
namespace {

namespace fs = std::filesystem;
using cpp_impl::ModelImpl;

TEST(RemoteModelFileName, KeepsCaseAddsMpsAndNeverLeadsOutOfTheFolder) {
  const std::pair<const char*, const char*> cases[] = {
      {"Plan", "Plan.mps"},           {"Plan.MPS", "Plan.MPS"},       {"plan.lp", "plan.lp"},
      {"Plan.Lp", "Plan.Lp"},         {"", "temp.mps"},               {"../escape", ".._escape.mps"},
      {"/home/u/x.lp", "_home_u_x.lp"}, {"a\"b", "a_b.mps"},          {"a\\b\tc\n", "a_b_c_.mps"},
      {"..", "...mps"},               {"план", "план.mps"},
  };
  for (const auto& [name, file] : cases) EXPECT_EQ(remote_model_file_name(name), file) << name;
}

class RemotePreparationTest : public ::testing::Test {
 protected:
  RemotePreparationTest() {
    model_.reset(static_cast<ModelImpl*>(CreateModel()));
    model_->SetStringParam("temp_folder_path", dir_.path().string().c_str());
    model_->SetBoolParam("log_to_console", false);
  }
  ~RemotePreparationTest() override {
    reset_client_log_for_testing();
    set_client_log_tap_for_testing(nullptr);
  }
  IVariable* add(const char* name) { return model_->AddVariable(0, 10, 1, variable_type::integer, name); }
  // The single private folder the preparation made in the temporary folder.
  fs::path private_folder() const {
    std::vector<fs::path> made;
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
      if (entry.path().filename().string().rfind("velorium-remote-", 0) == 0) made.push_back(entry.path());
    }
    EXPECT_EQ(made.size(), 1u);
    return made.empty() ? fs::path() : made.front();
  }
  test::ScratchDir dir_;
  test::Owned<ModelImpl> model_;
};

TEST_F(RemotePreparationTest, OptionsBecomeTheRemoteParameters) {
  test::ScopedEnv proxy("VELORIUM_HTTP_PROXY", "http://proxy.example:3128");
  model_->SetObjectiveSense(objective_sense::maximize);
  model_->SetStringParam("log_file", dir_.file("model.log").c_str());
  fill_remote_parameters(*model_);
  const RemoteParameters& p = model_->remote_parameters();
  EXPECT_EQ(p.string_params.at("solver"), "best");
  EXPECT_EQ(p.string_params.at("presolve"), "on");
  EXPECT_EQ(p.string_params.at("problem_type"), "max");
  EXPECT_EQ(p.string_params.at("http_proxy"), "http://proxy.example:3128");
  EXPECT_EQ(p.string_params.at("log_file"), dir_.file("model.log"));
  EXPECT_EQ(p.string_params.at("remote_solver_address"), kDefaultCalculationsAddress);
  EXPECT_EQ(p.int_params.at("remote_timeout"), 300);
  EXPECT_EQ(p.double_params.at("time_limit"), 1000000.0);  // the default, infinite
  EXPECT_EQ(p.double_params.at("gap"), 1e-4);
  EXPECT_EQ(p.double_params.at("abs_gap"), 1e-6);
  EXPECT_EQ(p.double_params.at("primal_feasibility_tolerance"), 1e-6);
  EXPECT_EQ(p.double_params.at("mip_feasibility_tolerance"), 1e-6);
  EXPECT_FALSE(p.bool_params.at("log_to_console"));

  model_->SetStringParam("remote_solver_type", "salgo");
  model_->SetDblParam("time_limit", 90);
  model_->SetObjectiveSense(objective_sense::minimize);
  test::ScopedEnv no_proxy("VELORIUM_HTTP_PROXY", std::nullopt);
  fill_remote_parameters(*model_);
  EXPECT_EQ(p.string_params.at("solver"), "salgo");
  EXPECT_EQ(p.double_params.at("time_limit"), 90.0);
  EXPECT_EQ(p.string_params.at("problem_type"), "min");
  EXPECT_EQ(p.string_params.at("http_proxy"), "http://proxy.example:3128");  // kept from before
}

TEST_F(RemotePreparationTest, TheFilesLiveInAPrivateFolderThatGoesWithTheClient) {
  test::Owned<IVariable> x(add("x"));
  model_->SetName("Plan");
  dir_.write("Plan.mps", "someone else's file");
  model_->AddMipStartValueByName("x", 0.0);
  {
    RemoteRequest request = prepare_remote_request(*model_, "");
    ASSERT_NE(request.client, nullptr) << model_->GetErrorText();
    const fs::path folder = private_folder();
    struct stat status{};
    ASSERT_EQ(::stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    EXPECT_TRUE(fs::exists(folder / "Plan.mps"));
    // Compressed as it was written, for the upload.
    EXPECT_EQ(test::gunzip_one_member(test::readFileBytes((folder / "Plan.mps.gz").string())),
              test::readFileBytes((folder / "Plan.mps").string()));
    EXPECT_EQ(test::readFileBytes((folder / "start.sol").string()),
              "# Velorium Solution File Version 1.1\n\n# Columns  1\nx 0\n");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);
  EXPECT_EQ(test::readFileBytes(dir_.file("Plan.mps")), "someone else's file");
}

TEST_F(RemotePreparationTest, HostileModelNamesStayInsideThePrivateFolder) {
  test::Owned<IVariable> x(add("x"));
  for (const char* name : {"../escape", "/tmp/x.lp", "a\"b"}) {
    model_->SetName(name);
    RemoteRequest request = prepare_remote_request(*model_, "");
    ASSERT_NE(request.client, nullptr) << name << ": " << model_->GetErrorText();
    const fs::path folder = private_folder();
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{remote_model_file_name(name), remote_model_file_name(name) + ".gz"}))
        << name;
  }
  EXPECT_FALSE(fs::exists(dir_.path().parent_path() / "escape.mps"));
  EXPECT_FALSE(fs::exists(dir_.path().parent_path() / "escape"));
}

TEST_F(RemotePreparationTest, StartValuesGoOutUnderTheWrittenNamesOrAreLeftOutWithAWarning) {
  test::Owned<IVariable> a(add("my var"));   // the writer must make it legal
  test::Owned<IVariable> b(add("2nd"));      // so too
  test::Owned<IVariable> c(add("plain"));
  model_->AddMipStartValueByName("my var", 1.5);
  model_->AddMipStartValueByName("2nd", 2.0);
  model_->AddMipStartValueByName("plain", 0.0);
  model_->AddMipStartValueByName("nobody", 7.0);
  std::string logged;
  set_client_log_tap_for_testing([&](std::string_view text) { logged += text; });
  const auto start_lines = [&](const std::string& map) {
    RemoteRequest request = prepare_remote_request(*model_, map);
    EXPECT_NE(request.client, nullptr) << model_->GetErrorText();
    const std::string text = test::readFileBytes((private_folder() / "start.sol").string());
    return std::make_pair(text, request.written_to_model);
  };
  {
    const auto [text, names] = start_lines("");
    EXPECT_NE(text.find("# Columns  3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nmy_var 1.5\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n_2nd 2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nplain 0\n"), std::string::npos) << text;
    EXPECT_EQ(names.at("my_var"), "my var");
    EXPECT_EQ(names.at("_2nd"), "2nd");
    EXPECT_EQ(names.count("plain"), 0u);
  }
  EXPECT_NE(logged.find(get_message(71)), std::string::npos);
  EXPECT_NE(logged.find("[nobody]"), std::string::npos) << logged;
  {
    const auto [text, names] = start_lines(dir_.file("names.map"));
    EXPECT_NE(text.find("\nx0 1.5\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nx1 2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nx2 0\n"), std::string::npos) << text;
    EXPECT_EQ(names.at("x0"), "my var");
    EXPECT_EQ(names.at("x2"), "plain");
  }
}

// Results come back under the model's own names only if the preparation knows every name the
// writer changed: an illegal name, and a legal one that its legal form then clashes with;
// names the model made unique itself, or one name shared by a column and a row, stay.
TEST_F(RemotePreparationTest, TheNamesTheWriterChangesAreToldAndNoOthers) {
  struct Case {
    const char* what;
    std::vector<const char*> variables;
    std::vector<const char*> rows;
    std::map<std::string, std::string> written_to_model;
  };
  const Case cases[] = {
      {"all distinct", {"a", "b"}, {"r1", "r2"}, {}},
      {"a column and a row share a name", {"a", "b"}, {"a", "b"}, {}},
      {"the model names a repeated row itself", {"a"}, {"r", "r"}, {}},
      {"a column's legal form clashes", {"my var", "my_var"}, {"r"}, {{"my_var", "my var"}, {"my_var#1", "my_var"}}},
      {"a row's legal form clashes", {"a"}, {"r 1", "r_1"}, {{"r_1", "r 1"}, {"r_1#1", "r_1"}}},
  };
  for (const Case& c : cases) {
    model_.reset(static_cast<ModelImpl*>(CreateModel()));
    model_->SetStringParam("temp_folder_path", dir_.path().string().c_str());
    model_->SetBoolParam("log_to_console", false);
    std::vector<test::Owned<IVariable>> variables;
    for (const char* name : c.variables) variables.emplace_back(add(name));
    for (const char* name : c.rows) {
      test::Owned<ILinearExpression> terms(CreateLinearExpression());
      terms->AddTerm(variables.front().get(), 1.0);
      test::Owned<IConstraint> row(model_->AddConstraintLinear1(terms.get(), constraint_sense::less_equal, 5.0, name));
      ASSERT_NE(row.get(), nullptr) << c.what << ": " << model_->GetErrorText();
    }
    const RemoteRequest request = prepare_remote_request(*model_, "");
    ASSERT_NE(request.client, nullptr) << c.what << ": " << model_->GetErrorText();
    const std::map<std::string, std::string> told(request.written_to_model.begin(), request.written_to_model.end());
    EXPECT_EQ(told, c.written_to_model) << c.what;
    fs::remove_all(private_folder());
  }
}

TEST_F(RemotePreparationTest, AFolderThatCannotBeMadeOrAModelThatCannotBeWrittenStopsThePreparation) {
  test::Owned<IVariable> x(add("x"));
  model_->SetStringParam("temp_folder_path", dir_.file("missing").c_str());
  EXPECT_THROW(prepare_remote_request(*model_, ""), std::runtime_error);
  model_->SetStringParam("temp_folder_path", dir_.write("a-file", "").c_str());
  EXPECT_THROW(prepare_remote_request(*model_, ""), std::runtime_error);

  model_->SetStringParam("temp_folder_path", dir_.path().string().c_str());
  RemoteRequest request = prepare_remote_request(*model_, dir_.file("missing/names.map"));
  EXPECT_EQ(request.client, nullptr);
  EXPECT_EQ(model_->GetErrorCode(), -1);
}

TEST_F(RemotePreparationTest, AModelFileThatFailsMidwayStopsTheCompressingTooAndLeavesNothing) {
  constexpr std::int32_t kCount = 60000;  // a file of some megabytes
  const double lower = 0.0;
  const double upper = 1.0;
  const std::vector<double> objective(kCount, 1.0);
  const std::int32_t type = 0;
  model_->AddVariables(kCount, &lower, 1, &upper, 1, objective.data(), objective.size(), &type, 1);
  ASSERT_EQ(model_->GetErrorCode(), 0) << model_->GetErrorText();
  const double one = 1.0;
  for (std::int32_t j = 0; j < kCount; ++j) model_->AddConstraintLinearSparse(&one, &j, 1, constraint_sense::less_equal, 1);
  const int threads_before = test::thread_count();
  {
    // Files may not grow past 1 MiB: the model file's writes fail part of the way through.
    const test::ScopedFileSizeLimit limit(1 << 20);
    const RemoteRequest request = prepare_remote_request(*model_, "");
    EXPECT_EQ(request.client, nullptr);
  }
  EXPECT_EQ(model_->GetErrorCode(), -1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 0);
  EXPECT_LE(test::thread_count(), threads_before);
}

TEST(ModelStringParamCopy, CopiesTheTextOrStores408) {
  test::Owned<ModelImpl> model(static_cast<ModelImpl*>(CreateModel()));
  model->SetStringParam("presolve", "off");
  EXPECT_EQ(model->GetStringParamCopy("presolve"), "off");
  EXPECT_EQ(model->GetErrorCode(), 0);
  EXPECT_EQ(model->GetStringParamCopy("time_limit"), "");  // not a string option
  EXPECT_EQ(model->GetErrorCode(), -1);
  EXPECT_EQ(model->GetStringParamCopy("no_such_option"), "");
  EXPECT_NE(std::string(model->GetErrorText()).find("no_such_option"), std::string::npos);
  EXPECT_EQ(model->GetStringParamCopy(nullptr), "");
  EXPECT_EQ(model->GetErrorCode(), -1);
}

}  // namespace
}  // namespace velorium::nimbrova
