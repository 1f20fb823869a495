#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/text/message_catalogue.hpp"
#include "core/text/number_text.hpp"
#include "model_test_support.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::cpp_impl {
namespace {

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
      {"int of 4 read as bool", [&] { EXPECT_FALSE(model->GetBoolParam("threads")); }, "threads"},
      {"int read as a text copy", [&] { EXPECT_EQ(model->GetStringParamCopy("threads"), ""); }, "threads"},
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

// Every typed read and change of the model against an option of every type: what it gives,
// the failure it stores, the one line it logs, and the option's value afterwards.
enum class ParamOp { GetBool, GetInt, GetDbl, GetString, GetStringCopy, SetBool, SetInt, SetDbl, SetString };

struct TypedOutcome {
  int logged;          // the catalogue message of the logged reason; 0 when the operation succeeds
  const char* result;  // a read: the value it gives (the neutral one when refused);
                       // a change: the option's value afterwards
};

struct TypedRow {
  ParamOp op;
  const char* what;
  // By option: the bool compute_iis, the int threads, the double time_limit, the text presolve.
  TypedOutcome by_type[4];
};

constexpr const char* kTypedOptions[4] = {"compute_iis", "threads", "time_limit", "presolve"};

// The value of option `index` of kTypedOptions, read in its own type.
std::string own_value(ModelImpl& model, int index) {
  const char* name = kTypedOptions[index];
  switch (index) {
    case 0: return model.GetBoolParam(name) ? "true" : "false";
    case 1: return std::to_string(model.GetIntParam(name));
    case 2: return formatDoubleGeneral(model.GetDblParam(name));
    default: return model.GetStringParam(name);
  }
}

// Runs `op` on option `name`; a read gives its value as text ("null" for a null text).
std::string run_typed(ModelImpl& model, ParamOp op, const char* name) {
  switch (op) {
    case ParamOp::GetBool: return model.GetBoolParam(name) ? "true" : "false";
    case ParamOp::GetInt: return std::to_string(model.GetIntParam(name));
    case ParamOp::GetDbl: return formatDoubleGeneral(model.GetDblParam(name));
    case ParamOp::GetString: {
      const char* text = model.GetStringParam(name);
      return text ? text : "null";
    }
    case ParamOp::GetStringCopy: return "copy:" + model.GetStringParamCopy(name);
    case ParamOp::SetBool: model.SetBoolParam(name, true); break;
    case ParamOp::SetInt: model.SetIntParam(name, 3); break;
    case ParamOp::SetDbl: model.SetDblParam(name, 2.5); break;
    case ParamOp::SetString: model.SetStringParam(name, name == std::string("presolve") ? "off" : "1"); break;
  }
  return {};
}

TEST(ModelParameterTypes, EveryTypedOperationAgainstEveryOptionType) {
  ASSERT_TRUE(get_or_create_kernel());
  const std::vector<TypedRow> rows = {
      {ParamOp::GetBool, "GetBoolParam", {{0, "false"}, {107, "false"}, {108, "false"}, {105, "false"}}},
      {ParamOp::GetInt, "GetIntParam", {{106, "0"}, {0, "0"}, {108, "0"}, {105, "0"}}},
      {ParamOp::GetDbl, "GetDblParam", {{106, "0"}, {107, "0"}, {0, "inf"}, {105, "0"}}},
      {ParamOp::GetString, "GetStringParam", {{106, "null"}, {107, "null"}, {108, "null"}, {0, "on"}}},
      {ParamOp::GetStringCopy, "GetStringParamCopy", {{106, "copy:"}, {107, "copy:"}, {108, "copy:"}, {0, "copy:on"}}},
      // A bool and an int are one another's values (0 and 1); nothing else crosses types.
      {ParamOp::SetBool, "SetBoolParam true", {{0, "true"}, {0, "1"}, {101, "inf"}, {104, "on"}}},
      {ParamOp::SetInt, "SetIntParam 3", {{0, "true"}, {0, "3"}, {101, "inf"}, {104, "on"}}},
      {ParamOp::SetDbl, "SetDblParam 2.5", {{100, "false"}, {103, "0"}, {0, "2.5"}, {104, "on"}}},
      {ParamOp::SetString, "SetStringParam", {{0, "true"}, {0, "1"}, {0, "1"}, {0, "off"}}},
  };
  for (const TypedRow& row : rows) {
    for (int type = 0; type < 4; ++type) {
      const char* name = kTypedOptions[type];
      const TypedOutcome& want = row.by_type[type];
      SCOPED_TRACE(std::string(row.what) + " of " + name);
      test::Owned<ModelImpl> model(new ModelImpl());
      CollectingCallback callback;
      model->SetLogCallback(&callback);
      callback.lines.clear();

      const std::string read = run_typed(*model, row.op, name);
      const bool is_read = row.op < ParamOp::SetBool;
      if (want.logged == 0) {
        EXPECT_EQ(model->GetErrorCode(), 0);
        EXPECT_STREQ(model->GetErrorText(), "");
        EXPECT_TRUE(callback.lines.empty()) << callback.all();
      } else {
        EXPECT_EQ(model->GetErrorCode(), -1);
        EXPECT_EQ(model->GetErrorText(), velorium::testing::catalogue_text(is_read ? 408 : 409, name));
        ASSERT_EQ(callback.lines.size(), 1u) << callback.all();
        const std::string reason = velorium::testing::catalogue_text(want.logged, name);
        EXPECT_EQ(callback.lines[0], std::string(get_message(72)) + reason);
      }
      EXPECT_EQ(is_read ? read : own_value(*model, type), want.result);
    }
  }
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
