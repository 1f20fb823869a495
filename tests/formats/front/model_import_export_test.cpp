#include "formats/front/model_import_export.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "formats/front/model_file_format.hpp"
#include "support/log_capture.hpp"
#include "support/owned.hpp"
#include "support/scratch_dir.hpp"
#include "support/test_models.hpp"

namespace velorium {
namespace {

using test::LogCapture;
using test::ScratchDir;
using test::nameText;
using test::TestModel;

using FrontPtr = test::Owned<IModelImportExport>;

FrontPtr makeFront() { return FrontPtr(create_model_import_export()); }

constexpr const char* kLpText = "Minimize\n obj: 2 x + 3 y\nSubject To\n c1: x + y >= 1\nEnd\n";

TEST(ModelFileFormat, ModeAndExtensionTable) {
  using F = ModelFileFormat;
  struct Case {
    const char* path;
    std::uint8_t mode;
    F expected;
  };
  const std::vector<Case> cases = {
      {"model.lp", 0, F::lp},          {"MODEL.LP", 0, F::lp},          {"model.Lp", 0, F::lp},
      {"model.ilp", 0, F::lp},         {"dir.x/model.ILP", 0, F::lp},   {"model.mps", 0, F::mps},
      {"model.MpS", 0, F::mps},        {"model.txt", 0, F::none},       {"model", 0, F::none},
      {"model.mps.gz", 0, F::none},    {".lp", 0, F::none},             {".mps", 0, F::none},
      {"dir.lp/model", 0, F::none},    {"model.", 0, F::none},          {"..", 0, F::none},
      {"model.txt", 1, F::mps},        {"model", 1, F::mps},            {"model.mps.gz", 1, F::mps},
      {"model.mps", 2, F::lp},         {"model.lp", 1, F::mps},         {"model.lp", 3, F::none},
      {"model.mps", 255, F::none},     {"", 0, F::none},                {"", 1, F::none},
      {"", 2, F::none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " mode " + std::to_string(c.mode));
    EXPECT_EQ(chooseModelFileFormat(c.path, c.mode), c.expected);
  }
  EXPECT_EQ(chooseModelFileFormat(nullptr, 1), F::none);
}

TEST(ModelImportExport, FactoryAndKernelGiveNewEmptyFronts) {
  FrontPtr front = makeFront();
  ASSERT_NE(front, nullptr);
  EXPECT_EQ(front->GetModel(), nullptr);
  ASSERT_TRUE(cpp_impl::get_or_create_kernel());
  FrontPtr other(cpp_impl::current_kernel()->create_model_import_export());
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other.get(), front.get());
  EXPECT_NE(dynamic_cast<ModelImportExport*>(other.get()), nullptr);
}

TEST(ModelImportExport, ReadsLpByExtensionAndByMode) {
  ScratchDir dir;
  LogCapture log;
  for (const char* name : {"model.lp", "MODEL.LP", "model.ilp", "as_lp.mps"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.write(name, kLpText);
    FrontPtr front = makeFront();
    const std::uint8_t mode = std::string(name) == "as_lp.mps" ? kModelFileLp : kModelFileByExtension;
    ASSERT_TRUE(front->Import(path.c_str(), mode, const_cast<VeloriumLogOptions*>(&log.options())));
    const Model* model = front->GetModel();
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->variables.size(), 2u);
    ASSERT_EQ(model->rows.size(), 1u);
    EXPECT_EQ(nameText(model->rows[0].expression.name_id), "c1");
    EXPECT_EQ(model->source_path, path);
  }
  EXPECT_EQ(log.all(), "");
}

TEST(ModelImportExport, ReadsMpsByExtensionAndByMode) {
  ScratchDir dir;
  LogCapture log;
  auto* log_options = const_cast<VeloriumLogOptions*>(&log.options());
  TestModel m;
  const int x = m.addVariable("x", 0, 4, test::kInteger);
  m.addRow("c1", 1, test::kInf, {{x, 1}});
  m.setObjective({{x, 2}});
  FrontPtr writer = makeFront();
  const std::string mps = dir.file("model.mps");
  ASSERT_TRUE(writer->Export(&m.model, mps.c_str(), 0, log_options));
  const std::string gz = dir.write("model.mps.gz", test::readFileBytes(mps));
  for (const auto& [path, mode] : {std::pair{mps, kModelFileByExtension}, std::pair{gz, kModelFileMps}}) {
    SCOPED_TRACE(path);
    FrontPtr front = makeFront();
    ASSERT_TRUE(front->Import(path.c_str(), mode, log_options)) << log.all();
    const Model* model = front->GetModel();
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->variables.size(), 1u);
    EXPECT_EQ(model->variables[0].type, test::kInteger);
    EXPECT_EQ(model->variables[0].upper, 4.0);
    EXPECT_EQ(nameText(model->rows.at(0).expression.name_id), "c1");
  }
  FrontPtr front = makeFront();
  EXPECT_FALSE(front->Import(gz.c_str(), kModelFileByExtension, log_options)) << "\".gz\" is no model extension";
  EXPECT_EQ(front->GetModel(), nullptr);
}

TEST(ModelImportExport, FailedImportKeepsThePreviousModel) {
  ScratchDir dir;
  LogCapture log;
  auto* log_options = const_cast<VeloriumLogOptions*>(&log.options());
  FrontPtr front = makeFront();
  const std::string good = dir.write("good.lp", kLpText);
  ASSERT_TRUE(front->Import(good.c_str(), 0, log_options));
  Model* kept = front->GetModel();
  ASSERT_NE(kept, nullptr);

  const std::string bad = dir.write("bad.lp", "Minimize\n obj: x <\nEnd\n");
  const std::string missing = dir.file("missing.lp");
  const std::string text = dir.write("model.txt", kLpText);
  const std::string bad_mps = dir.write("bad.mps", "NAME x\nROWS\n N obj\nCOLUMNS\n");
  struct Case {
    const char* what;
    const char* path;
    std::uint8_t mode;
    bool logs;
  };
  const std::vector<Case> cases = {
      {"syntax error", bad.c_str(), 0, true},   {"missing file", missing.c_str(), 0, true},
      {"MPS without ENDATA", bad_mps.c_str(), 0, true},
      {"unknown extension", text.c_str(), 0, false}, {"unknown mode", good.c_str(), 7, false},
      {"empty path", "", 0, false},              {"null path", nullptr, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t logged_before = log.texts().size();
    EXPECT_FALSE(front->Import(c.path, c.mode, log_options));
    EXPECT_EQ(front->GetModel(), kept);
    EXPECT_EQ(log.texts().size() > logged_before, c.logs) << log.all();
  }
  EXPECT_EQ(kept->variables.size(), 2u);
}

TEST(ModelImportExport, WritesLpAndMpsByExtensionAndMode) {
  ScratchDir dir;
  LogCapture log;
  auto* log_options = const_cast<VeloriumLogOptions*>(&log.options());
  TestModel m;
  const int x = m.addVariable("x");
  m.addRow("c1", 1, test::kInf, {{x, 1}});
  m.setObjective({{x, 2}});
  FrontPtr front = makeFront();

  const std::string lp = dir.file("out.LP");
  ASSERT_TRUE(front->Export(&m.model, lp.c_str(), 0, log_options));
  EXPECT_NE(test::readFileBytes(lp).find("Subject To"), std::string::npos);

  const std::string mps = dir.file("out.mps");
  ASSERT_TRUE(front->Export(&m.model, mps.c_str(), 0, log_options));
  EXPECT_EQ(test::readFileBytes(mps).rfind("NAME", 0), 0u);

  const std::string lp_named_mps = dir.file("lp_text.mps");
  ASSERT_TRUE(front->Export(&m.model, lp_named_mps.c_str(), kModelFileLp, log_options));
  EXPECT_NE(test::readFileBytes(lp_named_mps).find("Subject To"), std::string::npos);

  const std::string mps_named_txt = dir.file("mps.txt");
  ASSERT_TRUE(front->Export(&m.model, mps_named_txt.c_str(), kModelFileMps, log_options));
  EXPECT_NE(test::readFileBytes(mps_named_txt).find("ENDATA"), std::string::npos);

  EXPECT_EQ(front->GetModel(), nullptr) << "Export keeps no model";
  EXPECT_EQ(log.all(), "");
}

TEST(ModelImportExport, RefusedExportsWriteNothing) {
  ScratchDir dir;
  TestModel m;
  m.addVariable("x");
  FrontPtr front = makeFront();
  const std::string txt = dir.file("model.txt");
  EXPECT_FALSE(front->Export(nullptr, dir.file("model.lp").c_str(), 0, nullptr));
  EXPECT_FALSE(front->Export(&m.model, nullptr, 2, nullptr));
  EXPECT_FALSE(front->Export(&m.model, "", 2, nullptr));
  EXPECT_FALSE(front->Export(&m.model, txt.c_str(), 0, nullptr));
  EXPECT_FALSE(front->Export(&m.model, dir.file("model.lp").c_str(), 3, nullptr));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(ModelImportExport, WithoutLogOptionsAnUnwritableFileIsReportedOnTheConsole) {
  ScratchDir dir;
  TestModel m;
  m.addVariable("x");
  FrontPtr front = makeFront();
  const std::string path = dir.file("no_such_dir/model.lp");
  testing::internal::CaptureStdout();
  const bool written = front->Export(&m.model, path.c_str(), 0, nullptr);
  const std::string console = testing::internal::GetCapturedStdout();
  EXPECT_FALSE(written);
  EXPECT_NE(console.find(formatString("Невозможно открыть файл %s: %s\n", path.c_str(), std::strerror(ENOENT))),
            std::string::npos)
      << console;
}

TEST(ModelImportExport, AFailureThrownByAWriterIsLoggedAndGivesFalse) {
  ScratchDir dir;
  LogCapture log;
  TestModel m;
  m.addVariable("x");
  m.addRow("r", 0, 1, {{5, 1.0}});  // refers to a variable the model does not have
  FrontPtr front = makeFront();
  const std::string path = dir.file("broken.lp");
  EXPECT_FALSE(front->Export(&m.model, path.c_str(), 0, const_cast<VeloriumLogOptions*>(&log.options())));
  ASSERT_FALSE(log.texts().empty());
  EXPECT_EQ(log.texts().back().level, kLogLevelError);
  EXPECT_NE(log.texts().back().text.find(path), std::string::npos) << log.all();
}

}  // namespace
}  // namespace velorium
