// Reading LP files: results, messages, file-level decisions.
#include "formats/lp/lp_reader.hpp"

#include <gtest/gtest.h>

#include <string>

#include "core/text/message_catalogue.hpp"
#include "lp_test_support.hpp"
#include "support/comma_locale.hpp"
#include "support/scratch_dir.hpp"

namespace velorium {
namespace {

using test::columnNames;
using test::LogCapture;

TEST(LpReaderFile, MissingFileAndDirectoryGiveOne) {
  test::ScratchDir dir;
  LogCapture log;
  auto previous = std::make_shared<Model>();
  std::shared_ptr<Model> model = previous;
  const std::string missing = dir.file("missing.lp");
  EXPECT_EQ(readLpModelFile(log.options(), missing, model), 1);
  EXPECT_EQ(model, previous);
  EXPECT_NE(log.all().find(missing), std::string::npos) << log.all();
  EXPECT_EQ(readLpModelFile(log.options(), dir.path().string(), model), 1);
  EXPECT_EQ(model, previous);
  EXPECT_THROW(parseLpFile(missing), std::invalid_argument);
}

// A file without any section is no LP file: it would read as an empty model and hide a
// wrong path or a broken file.
TEST(LpReaderFile, EmptyFileIsRefused) {
  test::ScratchDir dir;
  LogCapture log;
  std::shared_ptr<Model> model;
  const std::string path = dir.write("empty.lp", "");
  EXPECT_EQ(readLpModelFile(log.options(), path, model), 2);
  EXPECT_FALSE(model);
  EXPECT_NE(log.all().find(path + ": no section"), std::string::npos) << log.all();

  const std::string sectionOnly = dir.write("end.lp", "End\n");
  ASSERT_EQ(readLpModelFile(log.options(), sectionOnly, model), 0);
  EXPECT_TRUE(model->variables.empty());
  EXPECT_TRUE(model->rows.empty());
  EXPECT_EQ(model->name, "end.lp");
  EXPECT_EQ(model->source_path, sectionOnly);
}

TEST(LpReaderFile, WholeFileWithMarkCarriageReturnsAndComments) {
  test::ScratchDir dir;
  LogCapture log;
  std::shared_ptr<Model> model;
  const std::string text =
      "\xEF\xBB\xBF" "\\ some notes 1 2 3\r\n/* more\r\n notes */ Maximize\r\n obj: 2 x + 3 y\r\nSubject To\r\n c1: x + y <= 4\r\n"
      "Bounds\r\n y <= 3\r\nGenerals\r\n y\r\nEnd\r\n";
  ASSERT_EQ(readLpModelFile(log.options(), dir.write("sub.dir.lp", text), model), 0) << log.all();
  EXPECT_EQ(model->name, "sub.dir.lp");
  EXPECT_EQ(model->objective_sense, 1);
  EXPECT_EQ(columnNames(*model), "x y");
  ASSERT_EQ(model->rows.size(), 1u);
  EXPECT_EQ(model->rows[0].upper, 4);
  EXPECT_EQ(model->variables[1].upper, 3);
  EXPECT_EQ(model->variables[1].type, 2u);
}

TEST(LpReaderFile, SyntaxErrorGivesTwoAndNamesFileAndLine) {
  test::ScratchDir dir;
  LogCapture log;
  auto previous = std::make_shared<Model>();
  std::shared_ptr<Model> model = previous;
  const std::string path = dir.write("bad.lp", "Minimize\n x\nSubject To\n c: x < 3\n");
  EXPECT_EQ(readLpModelFile(log.options(), path, model), 2);
  EXPECT_EQ(model, previous);
  ASSERT_EQ(log.texts().size(), 1u);
  EXPECT_EQ(log.texts()[0].level, 5);
  EXPECT_NE(log.texts()[0].text.find(path + ":4: "), std::string::npos) << log.texts()[0].text;
}

TEST(LpReaderFile, NulByteIsASyntaxErrorNotTheEnd) {
  test::ScratchDir dir;
  LogCapture log;
  std::shared_ptr<Model> model;
  const std::string path = dir.write("nul.lp", std::string("Minimize\n x\n", 12) + std::string(1, '\0') + "\nEnd\n");
  EXPECT_EQ(readLpModelFile(log.options(), path, model), 2);
  EXPECT_FALSE(model);
  EXPECT_NE(log.all().find(path + ":3: "), std::string::npos) << log.all();
}

TEST(LpReaderFile, SosSetsAreRefusedButKept) {
  test::ScratchDir dir;
  LogCapture log;
  std::shared_ptr<Model> model;
  EXPECT_EQ(readLpModelFile(log.options(), dir.write("sos.lp", "Minimize\n x\nSOS\n s1: S1:: x:1 y:2\nEnd\n"), model), 2);
  ASSERT_TRUE(model);
  EXPECT_EQ(model->sos_sets.size(), 1u);
  EXPECT_NE(log.all().find(get_message(68)), std::string::npos) << log.all();

  LogCapture quiet;
  std::shared_ptr<Model> emptySos;
  EXPECT_EQ(readLpModelFile(quiet.options(), dir.write("nosos.lp", "Minimize\n x\nSOS\nEnd\n"), emptySos), 0);
  EXPECT_TRUE(quiet.texts().empty());
}

TEST(LpReaderFile, NumbersIgnoreTheProcessLocale) {
  test::ScopedCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma";
  auto model = parseLpText("Minimize\n 2.5 x + 0.25\nBounds\n 1.5 <= x <= 1e1\n");
  EXPECT_EQ(model->objective.linear_terms[0].coefficient, 2.5);
  EXPECT_EQ(model->objective.constant, 0.25);
  EXPECT_EQ(model->variables[0].lower, 1.5);
  EXPECT_EQ(model->variables[0].upper, 10);
}

TEST(LpReaderFile, VeryLongLineReads) {
  // One objective line of 200000 terms (a few megabytes).
  std::string text = "Minimize\n obj:";
  const int terms = 200000;
  for (int i = 0; i < terms; ++i) text += " + " + std::to_string(i % 7 + 1) + " x" + std::to_string(i);
  text += "\nEnd\n";
  test::ScratchDir dir;
  auto model = parseLpFile(dir.write("long.lp", text));
  EXPECT_EQ(model->variables.size(), static_cast<std::size_t>(terms));
  EXPECT_EQ(model->objective.linear_terms.back().coefficient, (terms - 1) % 7 + 1);
}

}  // namespace
}  // namespace velorium
