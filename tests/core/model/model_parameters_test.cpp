#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/text/message_catalogue.hpp"
#include "model_test_support.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::cpp_impl {
namespace {

// Receives the model's log lines.
class CollectingCallback : public ILogCallback {
 public:
  void LogMessage(const char* text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
  std::string all() const {
    std::string joined;
    for (const std::string& line : lines) joined += line;
    return joined;
  }
};

using ModelParameters = ModelFixture;

TEST_F(ModelParameters, ParameterFailuresCarryTheRussianTexts) {
  EXPECT_STREQ(get_message(408), "Ошибка получения параметра [%s]");
  EXPECT_STREQ(get_message(409), "Ошибка изменения параметра [%s]");
  model->GetIntParam("Threads");
  EXPECT_STREQ(model->GetErrorText(), "Ошибка получения параметра [Threads]");
  model->SetIntParam("Threads", 2);
  EXPECT_STREQ(model->GetErrorText(), "Ошибка изменения параметра [Threads]");
}

TEST_F(ModelParameters, ReadingByNameAndType) {
  EXPECT_EQ(model->GetIntParam("threads"), 0);
  expect_ok(model);
  model->SetIntParam("threads", 4);
  expect_ok(model);
  EXPECT_EQ(model->GetIntParam("threads"), 4);
  EXPECT_TRUE(model->GetBoolParam("threads")) << "an int option reads as a bool";
  EXPECT_EQ(model->GetDblParam("time_limit"), kVeloriumInf);
  EXPECT_STREQ(model->GetStringParam("called_method"), "solve");

  struct Case {
    const char* what;
    std::function<void()> read;
    const char* name;
  };
  const std::vector<Case> refused = {
      {"unknown name", [&] { EXPECT_EQ(model->GetIntParam("Threads"), 0); }, "Threads"},
      {"bool read as int", [&] { EXPECT_EQ(model->GetIntParam("output_flag"), 0); }, "output_flag"},
      {"int read as double", [&] { EXPECT_EQ(model->GetDblParam("threads"), 0.0); }, "threads"},
      {"double read as text", [&] { EXPECT_EQ(model->GetStringParam("time_limit"), nullptr); }, "time_limit"},
      {"text read as bool", [&] { EXPECT_FALSE(model->GetBoolParam("log_file")); }, "log_file"},
      {"null name", [&] { EXPECT_EQ(model->GetIntParam(nullptr), 0); }, "null"},
      {"null name as text", [&] { EXPECT_EQ(model->GetStringParam(nullptr), nullptr); }, "null"},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.what);
    c.read();
    expect_failure(model, 408, c.name);
  }
  EXPECT_EQ(model->GetIntParam("threads"), 4);
  expect_ok(model);
}

TEST_F(ModelParameters, ChangingByNameAndType) {
  model->SetIntParam("output_flag", 5);
  expect_ok(model);
  EXPECT_TRUE(model->GetBoolParam("output_flag"));
  model->SetStringParam("remote_timeout", " 60 ");
  expect_ok(model);
  EXPECT_EQ(model->GetIntParam("remote_timeout"), 60);
  model->SetStringParam("presolve", "OFF");
  expect_ok(model);
  model->SetDblParam("mip_rel_gap", 0.25);
  EXPECT_EQ(model->GetDblParam("mip_rel_gap"), 0.25);

  struct Case {
    const char* what;
    std::function<void()> change;
    const char* name;
  };
  const std::vector<Case> refused = {
      {"bool below an int range", [&] { model->SetBoolParam("remote_timeout", true); }, "remote_timeout"},
      {"negative time limit", [&] { model->SetDblParam("time_limit", -1.0); }, "time_limit"},
      {"double for an int", [&] { model->SetDblParam("threads", 2.0); }, "threads"},
      {"text that is no number", [&] { model->SetStringParam("remote_timeout", "60s"); }, "remote_timeout"},
      {"value not allowed", [&] { model->SetStringParam("presolve", "medium"); }, "presolve"},
      {"unknown name", [&] { model->SetIntParam("no_such_option", 1); }, "no_such_option"},
      {"null name", [&] { model->SetBoolParam(nullptr, true); }, "null"},
      {"null name for a text", [&] { model->SetStringParam(nullptr, "1"); }, "null"},
      {"null value", [&] { model->SetStringParam("presolve", nullptr); }, "presolve"},
      {"null log file", [&] { model->SetStringParam("log_file", nullptr); }, "log_file"},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.what);
    c.change();
    expect_failure(model, 409, c.name);
  }
  EXPECT_EQ(model->GetIntParam("remote_timeout"), 60) << "a refused change leaves the option";
  EXPECT_EQ(model->GetDblParam("time_limit"), kVeloriumInf);
  EXPECT_STREQ(model->GetStringParam("presolve"), "OFF");
}

TEST_F(ModelParameters, RefusalsAreLoggedToTheCallbackUnknownNamesAreNot) {
  CollectingCallback callback;
  model->SetBoolParam("output_flag", false);
  model->SetLogCallback(&callback);
  EXPECT_TRUE(model->GetBoolParam("output_flag")) << "a callback turns the output on";
  model->SetIntParam("no_such_option", 1);
  EXPECT_TRUE(callback.lines.empty());
  model->SetDblParam("time_limit", -1.0);
  ASSERT_EQ(callback.lines.size(), 1u);
  EXPECT_NE(callback.lines[0].find("time_limit"), std::string::npos);
  EXPECT_NE(callback.lines[0].find("-1.000000"), std::string::npos) << callback.lines[0];
  model->SetLogCallback(nullptr);
  model->SetDblParam("time_limit", -2.0);
  EXPECT_EQ(callback.lines.size(), 1u) << "the callback is gone";
}

TEST_F(ModelParameters, OutputFlagAfterRemovingTheCallback) {
  CollectingCallback callback;
  model->SetBoolParam("log_to_console", false);
  model->SetLogCallback(&callback);
  model->SetLogCallback(nullptr);
  EXPECT_FALSE(model->GetBoolParam("output_flag")) << "no file, no console";

  test::ScratchDir dir;
  model->SetLogFile(dir.file("model.log").c_str());
  model->SetLogCallback(nullptr);
  EXPECT_TRUE(model->GetBoolParam("output_flag")) << "a log file is named";

  model->SetLogFile("");
  model->SetBoolParam("log_to_console", true);
  model->SetBoolParam("output_flag", false);
  model->SetLogCallback(nullptr);
  EXPECT_TRUE(model->GetBoolParam("output_flag")) << "the console is on";
}

TEST_F(ModelParameters, LogFileThroughTheParameter) {
  test::ScratchDir dir;
  const std::string path = dir.write("model.log", "earlier line\n");
  model->SetBoolParam("log_to_console", false);
  model->SetStringParam("log_file", path.c_str());
  expect_ok(model);
  EXPECT_EQ(model->GetStringParam("log_file"), path);
  model->SetDblParam("time_limit", -1.0);
  model->SetLogFile("");
  expect_ok(model);
  EXPECT_STREQ(model->GetStringParam("log_file"), "");
  const std::string text = test::readFileBytes(path);
  EXPECT_EQ(text.rfind("earlier line\n", 0), 0u) << "opened for appending";
  EXPECT_NE(text.find("time_limit"), std::string::npos) << text;

  model->SetLogFile(nullptr);
  expect_failure(model, 409, "log_file");
}

}  // namespace
}  // namespace velorium::cpp_impl
