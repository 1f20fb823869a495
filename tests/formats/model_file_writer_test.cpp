// What both writers do around the text: the file, its replacement, failures, the report.
#include "formats/export/model_file_writer.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "core/text/message_catalogue.hpp"
#include "formats/lp/lp_writer.hpp"
#include "formats/mps/mps_writer.hpp"
#include "support/log_capture.hpp"
#include "support/scratch_dir.hpp"
#include "support/test_models.hpp"
#include "velorium/velorium.hpp"

namespace velorium {
namespace {

using test::TestModel;

struct WriterCase {
  const char* file;
  std::unique_ptr<ModelFileWriter> (*make)();
};

const WriterCase kWriters[] = {
    {"model.lp", [] { return std::unique_ptr<ModelFileWriter>(new LpWriter); }},
    {"model.mps", [] { return std::unique_ptr<ModelFileWriter>(new MpsWriter); }},
};

TestModel modelWithRenamings(int columns) {
  TestModel m;
  int x = 0;
  for (int i = 0; i < columns; ++i) x = m.addVariable("a b");
  m.addRow("c[1]", -test::kInf, 4, {{x, 1}});
  return m;
}

TEST(ModelFileWriter, WritesTheTextThenReportsRenamings) {
  for (const WriterCase& w : kWriters) {
    SCOPED_TRACE(w.file);
    test::ScratchDir dir;
    TestModel m = modelWithRenamings(1);
    test::LogCapture log;
    std::string path = dir.file(w.file);
    ASSERT_EQ(w.make()->writeModelToFile(log.options(), path, m.model), kVeloriumStatusOk);
    EXPECT_EQ(test::readFileBytes(path), w.make()->writeModelToText(m.model));
    ASSERT_EQ(log.texts().size(), 2u);
    EXPECT_EQ(log.texts()[0].text, std::string(get_message(496)) + "[a b] в [a_b]\n");
    EXPECT_EQ(log.texts()[1].text, std::string(get_message(497)) + "[c[1]] в [c_1_]\n");

    // An existing file is replaced.
    TestModel empty;
    ASSERT_EQ(w.make()->writeModelToFile(log.options(), path, empty.model), kVeloriumStatusOk);
    EXPECT_EQ(test::readFileBytes(path), w.make()->writeModelToText(empty.model));
  }
}

TEST(ModelFileWriter, FileThatCannotBeCreated) {
  for (const WriterCase& w : kWriters) {
    SCOPED_TRACE(w.file);
    test::ScratchDir dir;
    TestModel m = modelWithRenamings(1);
    test::LogCapture log;
    std::string path = dir.file(std::string("missing/") + w.file);
    EXPECT_EQ(w.make()->writeModelToFile(log.options(), path, m.model), kVeloriumStatusError);
    ASSERT_EQ(log.texts().size(), 1u);  // no rename report
    EXPECT_EQ(log.texts()[0].level, 5);
    EXPECT_EQ(log.texts()[0].text, "ОШИБКА: Невозможно открыть файл " + path + ": " + std::strerror(ENOENT) + "\n");
    EXPECT_FALSE(std::filesystem::exists(path));
  }
}

// A full disk is a failure, not a written file, and the line says why.
TEST(ModelFileWriter, FileThatCannotBeWrittenWhole) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  for (const WriterCase& w : kWriters) {
    SCOPED_TRACE(w.file);
    TestModel m = modelWithRenamings(1000);
    test::LogCapture log;
    EXPECT_EQ(w.make()->writeModelToFile(log.options(), "/dev/full", m.model), kVeloriumStatusError);
    ASSERT_EQ(log.texts().size(), 1u);
    EXPECT_EQ(log.texts()[0].level, 5);
    EXPECT_EQ(log.texts()[0].text, "ОШИБКА: Невозможно записать файл [/dev/full]: " + std::string(std::strerror(ENOSPC)) + "\n");
  }
}

// Building the copy checks the model before anything is written.
TEST(ModelFileWriter, ModelWithAMissingVariableWritesNothing) {
  for (const WriterCase& w : kWriters) {
    SCOPED_TRACE(w.file);
    test::ScratchDir dir;
    TestModel m = modelWithRenamings(1);
    m.model.rows[0].expression.linear_terms.push_back({7, 1.0});
    test::LogCapture log;
    std::string path = dir.file(w.file);
    EXPECT_THROW(w.make()->writeModelToFile(log.options(), path, m.model), velorium_exception);
    EXPECT_EQ(test::readFileBytes(path), "");
    EXPECT_TRUE(log.texts().empty());
  }
}

}  // namespace
}  // namespace velorium
